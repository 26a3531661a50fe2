# Run first by cmake --install (and so by tools/package.sh): stops the install when the
# build's generated data is missing, naming what is missing, rather than installing a
# game that starts to a blank screen. Expects solverica_res (the build's res/ folder)
# and solverica_icon_sizes. One file of each kind the game cannot start or play without.
set(needed icon.png title/picture/title_background.png sound/title_bgm.wav sound/game_bgm.wav
  ending/endroll.1.png)
foreach(stage RANGE 1 8)
  list(APPEND needed dat/map.${stage}.dat game/map/map.${stage}.x)
endforeach()
foreach(effect Toon Outline Blur ShadowMap Puddle)
  list(APPEND needed shader/${effect}Shader.cso)
endforeach()
foreach(size IN LISTS solverica_icon_sizes)
  list(APPEND needed icons/${size}.png)
endforeach()

set(missing)
foreach(file IN LISTS needed)
  if(NOT EXISTS "${solverica_res}/${file}")
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  list(LENGTH missing count)
  list(SUBLIST missing 0 8 shown)
  list(JOIN shown ", " names)
  message(FATAL_ERROR "The game's generated data is missing from ${solverica_res}: ${count} files, "
    "among them ${names}. Build the targets 'content' (tools/contentgen, which needs the font "
    "from the Debian package fonts-mplus) and 'effects' before installing or packaging; "
    "without them the game starts to a blank screen.")
endif()
