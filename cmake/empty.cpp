// Keeps every library non-empty while its folder is still being filled.
namespace {
[[maybe_unused]] int solvericaEmptyUnit = 0;
}
