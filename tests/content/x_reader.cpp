// Tokenizer and recursive reader for the generator's .x subset.
#include "x_reader.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace contenttest {

namespace {

class Reader {
public:
  // Reads from its own copy of the text.
  explicit Reader(const std::string& text) : text(text) {}

  // Skips white space and "//" or "#" comments.
  void Skip()
  {
    while (pos < text.size()) {
      if (std::isspace(static_cast<unsigned char>(text[pos]))) {
        ++pos;
      } else if (text.compare(pos, 2, "//") == 0 || text[pos] == '#') {
        while (pos < text.size() && text[pos] != '\n') ++pos;
      } else {
        break;
      }
    }
  }

  // Consumes an exact character.
  bool Expect(char ch)
  {
    Skip();
    if (pos < text.size() && text[pos] == ch) {
      ++pos;
      return true;
    }
    return Fail(std::string("expected '") + ch + "'");
  }

  // Consumes a word (identifier).
  bool Word(std::string* word)
  {
    Skip();
    const size_t start = pos;
    while (pos < text.size() && (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_')) ++pos;
    *word = text.substr(start, pos - start);
    return !word->empty() || Fail("expected a name");
  }

  // Consumes a number.
  bool Number(double* value)
  {
    Skip();
    const char* begin = text.c_str() + pos;
    char* end = nullptr;
    *value = std::strtod(begin, &end);
    if (end == begin) return Fail("expected a number");
    pos += static_cast<size_t>(end - begin);
    return true;
  }

  // Consumes a whole number.
  bool Int(int* value)
  {
    double d = 0;
    if (!Number(&d)) return false;
    *value = static_cast<int>(d);
    return d == *value || Fail("expected an integer");
  }

  // Consumes a quoted string.
  bool String(std::string* value)
  {
    if (!Expect('"')) return false;
    const size_t end = text.find('"', pos);
    if (end == std::string::npos) return Fail("unterminated string");
    *value = text.substr(pos, end - pos);
    pos = end + 1;
    return true;
  }

  // n vectors of `width` numbers "a;b;c;" separated by ',' and closed by ';'.
  bool Vectors(int width, std::vector<std::vector<double>>* out)
  {
    int count = 0;
    if (!Int(&count) || !Expect(';')) return false;
    for (int i = 0; i < count; ++i) {
      std::vector<double> v(width);
      for (int k = 0; k < width; ++k) {
        if (!Number(&v[k]) || !Expect(';')) return false;
      }
      out->push_back(v);
      if (!Expect(i + 1 < count ? ',' : ';')) return false;
    }
    return true;
  }

  // n faces "k;i,j,..;" separated by ',' and closed by ';'.
  bool Faces(std::vector<std::vector<int>>* out)
  {
    int count = 0;
    if (!Int(&count) || !Expect(';')) return false;
    for (int i = 0; i < count; ++i) {
      int corners = 0;
      if (!Int(&corners) || !Expect(';')) return false;
      std::vector<int> face(corners);
      for (int k = 0; k < corners; ++k) {
        if (!Int(&face[k]) || !Expect(k + 1 < corners ? ',' : ';')) return false;
      }
      out->push_back(face);
      if (!Expect(i + 1 < count ? ',' : ';')) return false;
    }
    return true;
  }

  // A Material block: colour, power, specular, emissive and an optional texture name.
  bool Material(stagebuild::Material* m)
  {
    double v[11];
    if (!Expect('{')) return false;
    for (int k = 0; k < 4; ++k) {
      if (!Number(&v[k]) || !Expect(';')) return false;
    }
    if (!Expect(';') || !Number(&v[4]) || !Expect(';')) return false;
    for (int k = 5; k < 11; ++k) {
      if (!Number(&v[k]) || !Expect(';')) return false;
      if ((k == 7 || k == 10) && !Expect(';')) return false;
    }
    m->diffuse = {float(v[0]), float(v[1]), float(v[2]), float(v[3])};
    m->power = float(v[4]);
    m->specular = {float(v[5]), float(v[6]), float(v[7]), 1};
    m->emissive = {float(v[8]), float(v[9]), float(v[10]), 1};
    Skip();
    if (text[pos] != '}') {
      std::string word;
      if (!Word(&word) || word != "TextureFilename") return Fail("expected TextureFilename");
      if (!Expect('{') || !String(&m->textureFile) || !Expect(';') || !Expect('}')) return false;
    }
    return Expect('}');
  }

  // Records the first problem with its line number; always false.
  bool Fail(const std::string& what)
  {
    if (error.empty()) {
      const size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + pos, '\n')) + 1;
      error = "line " + std::to_string(line) + ": " + what;
    }
    return false;
  }

  // True when only white space is left.
  bool AtEnd()
  {
    Skip();
    return pos >= text.size();
  }

  std::string error;

private:
  const std::string text;
  size_t pos = 0;
};

// Vectors to Vec3 / Vec2.
std::vector<stagebuild::Vec3> ToVec3(const std::vector<std::vector<double>>& in)
{
  std::vector<stagebuild::Vec3> out;
  for (const auto& v : in) out.push_back({float(v[0]), float(v[1]), float(v[2])});
  return out;
}

}  // namespace

// Header, then one Mesh with its optional child blocks.
bool ParseX(const std::string& text, ParsedX* out, std::string* error)
{
  if (text.compare(0, 16, "xof 0302txt 0032") != 0) {
    *error = "missing header";
    return false;
  }
  Reader r(text.substr(16));
  std::string word;
  std::vector<std::vector<double>> values;
  bool ok = r.Word(&word) && (word == "Mesh" || r.Fail("expected Mesh")) && r.Expect('{') && r.Vectors(3, &values) &&
            r.Faces(&out->faces);
  out->positions = ToVec3(values);
  while (ok) {
    r.Skip();
    if (!r.Word(&word)) {
      r.error.clear();
      break;
    }
    values.clear();
    if (word == "MeshNormals") {
      ok = r.Expect('{') && r.Vectors(3, &values) && r.Faces(&out->normalFaces) && r.Expect('}');
      out->normals = ToVec3(values);
    } else if (word == "MeshTextureCoords") {
      ok = r.Expect('{') && r.Vectors(2, &values) && r.Expect('}');
      for (const auto& v : values) out->uvs.push_back({float(v[0]), float(v[1])});
    } else if (word == "MeshMaterialList") {
      int materials = 0, count = 0;
      ok = r.Expect('{') && r.Int(&materials) && r.Expect(';') && r.Int(&count) && r.Expect(';');
      for (int i = 0; ok && i < count; ++i) {
        int m = 0;
        ok = r.Int(&m) && r.Expect(i + 1 < count ? ',' : ';');
        out->faceMaterials.push_back(m);
      }
      for (int i = 0; ok && i < materials; ++i) {
        stagebuild::Material m;
        ok = r.Word(&word) && (word == "Material" || r.Fail("expected Material")) && r.Material(&m);
        out->materials.push_back(m);
      }
      ok = ok && r.Expect('}');
    } else {
      ok = r.Fail("unknown block " + word);
    }
  }
  ok = ok && r.Expect('}') && (r.AtEnd() || r.Fail("text after the mesh"));
  if (!ok) *error = r.error;
  return ok;
}

// Reads the file and parses it.
bool ParseXFile(const std::string& path, ParsedX* out, std::string* error)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot open";
    return false;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  return ParseX(buffer.str(), out, error);
}

}  // namespace contenttest
