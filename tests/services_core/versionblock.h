// Builds version-information blocks in the VS_VERSION_INFO layout for the
// parser's tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TVersionNode {
  std::string Key;
  uint16_t Type = 0;            // 1 text, 0 binary
  std::string Value;            // bytes (binary) or the text (narrow, widened here)
  std::vector<TVersionNode> Children;
};

std::string EncodeVersionNode(const TVersionNode& node);
// A typical block: fixed info with the given product version, one string
// table "040904E4" and a Translation entry 0x04E40409.
std::string SampleVersionBlock(uint32_t productVersionMS, uint32_t fileFlags = 0, uint32_t flagsMask = 0x3F);
