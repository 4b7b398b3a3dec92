#include "versionblock.h"

namespace {

void PutWord(std::string& b, uint16_t v) {
  b += static_cast<char>(v & 0xFF);
  b += static_cast<char>(v >> 8);
}
void PutDword(std::string& b, uint32_t v) {
  PutWord(b, static_cast<uint16_t>(v));
  PutWord(b, static_cast<uint16_t>(v >> 16));
}
void Pad4(std::string& b) {
  while (b.size() % 4) b += '\0';
}

}  // namespace

std::string EncodeVersionNode(const TVersionNode& node) {
  std::string b(6, '\0');
  for (char c : node.Key) PutWord(b, static_cast<unsigned char>(c));
  PutWord(b, 0);
  Pad4(b);
  uint16_t valueLength = 0;
  if (node.Type == 1 && !node.Value.empty()) {
    for (char c : node.Value) PutWord(b, static_cast<unsigned char>(c));
    PutWord(b, 0);
    valueLength = static_cast<uint16_t>(node.Value.size() + 1);
  } else {
    b += node.Value;
    valueLength = static_cast<uint16_t>(node.Value.size());
  }
  for (const TVersionNode& child : node.Children) {
    Pad4(b);
    b += EncodeVersionNode(child);
  }
  b[0] = static_cast<char>(b.size() & 0xFF);
  b[1] = static_cast<char>(b.size() >> 8);
  b[2] = static_cast<char>(valueLength & 0xFF);
  b[3] = static_cast<char>(valueLength >> 8);
  b[4] = static_cast<char>(node.Type);
  b[5] = 0;
  return b;
}

std::string SampleVersionBlock(uint32_t productVersionMS, uint32_t fileFlags, uint32_t flagsMask) {
  std::string fixed;
  const uint32_t fields[13] = {0xFEEF04BD, 0x00010000, 0x00050001, 0x0A280000, productVersionMS, 0x0A280000,
                               flagsMask,  fileFlags,  0x00040004, 1,          0,                0,
                               0};
  for (uint32_t f : fields) PutDword(fixed, f);
  std::string translation;
  PutDword(translation, 0x04E40409);
  TVersionNode root{"VS_VERSION_INFO", 0, fixed,
                    {{"StringFileInfo", 1, "",
                      {{"040904E4", 1, "",
                        {{"CompanyName", 1, "Velmora", {}}, {"FileDescription", 1, "Kernel\xE9", {}},
                         {"ProductVersion", 1, "4.10", {}}}}}},
                     {"VarFileInfo", 1, "", {{"Translation", 0, translation, {}}}}}};
  return EncodeVersionNode(root);
}
