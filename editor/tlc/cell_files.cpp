#include "editor/tlc/cell_files.h"

#include <cctype>

#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace tlc {

int ReadPoolFolder(std::string_view folder, std::string& pool) {
  os::TextReader form;
  pool = NormaliseFolder("");
  if (!form.Open(std::string(folder) + "FORM.DBD")) return 0;
  std::string line;
  std::string found;
  while (form.ReadLine(line, 127)) {
    line = line.substr(0, line.find(';'));
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    line = UpperCase(line);
    if (line.compare(0, 5, "POOL=") == 0) found = line.substr(5);
  }
  pool = NormaliseFolder(found);
  return 1;
}

bool ReadStorePath(db::ObjectStore& store, int record, TlcPath& path, TlcText& text) {
  const db::PathRecord p = store.GetPathRecord(record);
  const bool isText = db::IsText(p.flags);
  path.layer = p.flags & 127;
  path.width = p.width;
  path.x.clear();
  path.y.clear();
  std::string chars;
  int charVertices = 0;
  bool ended = false;
  int v = p.firstVertex;
  for (int steps = 0; v >= 1 && v <= store.vertexCount && steps < store.vertexCount; ++steps) {
    const db::VertexRecord vertex = store.GetVertexRecord(v);
    if (isText && steps > 0) {
      // 8 characters a vertex, the first in the high byte of x; a NUL ends the text.
      ++charVertices;
      for (std::int32_t word : {vertex.x, vertex.y})
        for (int shift = 24; shift >= 0 && !ended; shift -= 8) {
          const char c = static_cast<char>((static_cast<std::uint32_t>(word) >> shift) & 0xff);
          if (c == 0)
            ended = true;
          else
            chars += c;
        }
    } else {
      path.x.push_back(vertex.x);
      path.y.push_back(vertex.y);
    }
    v = vertex.next;
  }
  if (!isText) return false;
  text.layer = p.flags & 127;
  text.size = p.width;
  text.orientation = db::OrientationOf(p.flags);
  text.x = path.x.empty() ? 0 : path.x[0];
  text.y = path.y.empty() ? 0 : path.y[0];
  text.text = std::move(chars);
  text.vertexCount = charVertices + 1;
  return true;
}

}  // namespace tlc
