// LH5 and Blowfish throughput on 16 MiB of mixed data, beside the Debian
// tools measured in the same run: lhasa extracting the same data, jlha
// compressing it, openssl's bf-ecb (speed test and enc on the same bytes).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include <unistd.h>

#include "shared/core/blowfish.h"
#include "shared/core/lh5.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kSize = 16u << 20;

// Text, structured binary records, random bytes and runs, in pieces of
// a few KB to 64 KB, roughly as data files and the things users keep mix.
std::string MixedInput() {
  std::mt19937 rng(2026);
  static const char* const words[] = {"shortcut", "password", "the",     "gate",  "console", "log",   "user",
                                      "settings", "of",       "a",       "Desktop", "target", "and",  "file",
                                      "Lockmere", "run",      "started", "C:\\Program Files\\", "12:04", "OK"};
  std::string s;
  s.reserve(kSize);
  while (s.size() < kSize) {
    const std::size_t piece = 4096 + rng() % 61440;
    const std::size_t end = std::min(kSize, s.size() + piece);
    switch (rng() % 20) {
      case 0: case 1: case 2:  // random
        while (s.size() < end) s.push_back(static_cast<char>(rng()));
        break;
      case 3: case 4:  // runs and short periods
        while (s.size() < end) s.append(1 + rng() % 300, "xy-= \0"[rng() % 6]);
        break;
      case 5: case 6: case 7: case 8: {  // little-endian records with counters
        uint32_t id = rng() % 1000, stamp = rng();
        while (s.size() < end) {
          id += 1;
          stamp += rng() % 60;
          for (int b = 0; b < 4; ++b) s.push_back(static_cast<char>(id >> (8 * b)));
          for (int b = 0; b < 4; ++b) s.push_back(static_cast<char>(stamp >> (8 * b)));
          s.push_back(static_cast<char>(rng() % 4));
          s.append(words[rng() % 20]);
          s.push_back('\0');
        }
        break;
      }
      default:  // text
        while (s.size() < end) {
          s.append(words[rng() % 20]);
          s.push_back(rng() % 12 ? ' ' : '\n');
        }
    }
  }
  s.resize(kSize);
  return s;
}

double Seconds(const std::function<void()>& f, int repeats) {
  double best = 1e9;
  for (int i = 0; i < repeats; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

double MBps(std::size_t bytes, double seconds) { return bytes / seconds / 1e6; }

bool Have(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

void WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

uint32_t LE(const std::string& s, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s.at(at + i));
  return v;
}

void PutLE(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

uint16_t Crc16Arc(const std::string& data) {
  uint16_t table[256];
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t c = static_cast<uint16_t>(i);
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
    table[i] = c;
  }
  uint16_t crc = 0;
  for (unsigned char c : data) crc = static_cast<uint16_t>(table[(crc ^ c) & 0xFF] ^ (crc >> 8));
  return crc;
}

std::string LevelZeroArchive(const std::string& body, const std::string& original) {
  std::string h = "-lh5-";
  PutLE(h, static_cast<uint32_t>(body.size()), 4);
  PutLE(h, static_cast<uint32_t>(original.size()), 4);
  PutLE(h, 0x5A2B6000, 4);
  h += '\x20';
  h += '\x00';
  h += '\x08';
  h += "data.bin";
  PutLE(h, Crc16Arc(original), 2);
  unsigned sum = 0;
  for (unsigned char c : h) sum += c;
  return std::string(1, static_cast<char>(h.size())) + static_cast<char>(sum & 0xFF) + h + body + '\0';
}

}  // namespace

int main() {
  const std::string data = MixedInput();
  std::printf("input: %zu bytes of mixed data\n\n", data.size());

  TMemoryStream plain, packed;
  plain.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  const double tc = Seconds([&] {
    plain.SetPosition(0);
    packed.Clear();
    LH5Compress(plain, packed);
  }, 3);
  const std::size_t ourSize = static_cast<std::size_t>(packed.Size() - 4);
  TMemoryStream back;
  const double te = Seconds([&] {
    packed.SetPosition(0);
    back.Clear();
    LH5Expand(packed, back);
  }, 5);
  if (back.AsString() != data) {
    std::printf("LH5 round trip FAILED\n");
    return 1;
  }
  std::printf("LH5 compress     %8.1f MB/s   compressed size %zu (%.2f%%)\n", MBps(kSize, tc), ourSize,
              100.0 * ourSize / kSize);
  std::printf("LH5 expand       %8.1f MB/s   (%.3f s)\n", MBps(kSize, te), te);

  TMemoryStream sealed;
  const std::string key = "4617";
  const double tb = Seconds([&] {
    sealed.Clear();
    sealed.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    BlowfishEncipherStream(sealed, key);
  }, 5);
  const double td = Seconds([&] {
    TMemoryStream copy;
    copy.WriteBuffer(sealed.Memory(), sealed.Size());
    BlowfishDecipherStream(copy, key);
  }, 5);
  TBlowfish cipher;
  cipher.SetKey(key);
  std::string raw = data;
  const double tr = Seconds([&] { cipher.EncryptBuffer(reinterpret_cast<unsigned char*>(raw.data()), raw.size()); }, 5);
  std::printf("Blowfish encipher stream %6.1f MB/s, decipher stream %6.1f MB/s, raw ECB blocks %6.1f MB/s\n\n",
              MBps(kSize, tb), MBps(kSize, td), MBps(kSize, tr));

  const fs::path dir = fs::temp_directory_path() / ("lkbench" + std::to_string(::getpid()));
  fs::create_directories(dir / "out");
  WriteFile(dir / "data.bin", data);
  WriteFile(dir / "ours.lzh", LevelZeroArchive(packed.AsString().substr(4), data));

  if (Have("lhasa")) {
    const double tl = Seconds([&] { Shell("lhasa xqfw='" + (dir / "out").string() + "' '" + (dir / "ours.lzh").string() + "'"); }, 3);
    const bool same = ReadFile(dir / "out" / "data.bin") == data;
    std::printf("lhasa extract (our archive)     %8.1f MB/s   (%.3f s, process and file write included)%s\n",
                MBps(kSize, tl), tl, same ? "" : "  OUTPUT DIFFERS");
    // "t" decodes and checks the CRC without writing a file: nearest to the expander alone.
    const double tt = Seconds([&] { Shell("lhasa tq '" + (dir / "ours.lzh").string() + "'"); }, 3);
    std::printf("lhasa test (decode + CRC only)  %8.1f MB/s   (%.3f s); our expander is %.1fx as fast\n",
                MBps(kSize, tt), tt, tt / te);
  } else {
    std::printf("lhasa: not installed\n");
  }
  if (Have("jlha")) {
    const double tj = Seconds([&] {
      fs::remove(dir / "jlha.lzh");
      Shell("cd '" + dir.string() + "' && jlha ao5q jlha.lzh data.bin");
    }, 2);
    const std::string a = ReadFile(dir / "jlha.lzh");
    const uint32_t jsize = a.size() > 21 ? LE(a, 7, 4) : 0;
    std::printf("jlha compress   %8.1f MB/s   compressed size %u (%.2f%%); ours is %+.2f%% of it\n", MBps(kSize, tj),
                jsize, 100.0 * jsize / kSize, 100.0 * (double(ourSize) - jsize) / jsize);
    if (Have("lhasa")) {
      const double tl = Seconds([&] { Shell("lhasa xqfw='" + (dir / "out").string() + "' '" + (dir / "jlha.lzh").string() + "'"); }, 3);
      std::printf("lhasa extract (jlha's archive) %8.1f MB/s   (%.3f s)\n", MBps(kSize, tl), tl);
    }
  } else {
    std::printf("jlha: not installed\n");
  }
  if (Have("openssl")) {
    // The last line reads "BF-ECB  228425.73k": thousands of bytes a second.
    double speed = 0;
    if (FILE* p = popen("openssl speed -provider legacy -provider default -evp bf-ecb -seconds 2 -bytes 16384 "
                        "2>/dev/null | tail -1", "r")) {
      char line[256] = {};
      if (std::fgets(line, sizeof line, p)) std::sscanf(line, "%*s %lfk", &speed);
      pclose(p);
    }
    std::printf("\nopenssl speed -evp bf-ecb (16384-byte blocks) %6.1f MB/s; our raw ECB is %+.1f%% of it\n",
                speed / 1000, speed > 0 ? 100.0 * (MBps(kSize, tr) - speed / 1000) / (speed / 1000) : 0.0);
    const double to = Seconds([&] {
      Shell("openssl enc -bf-ecb -provider legacy -provider default -nopad -K 34363137343631373436313734363137 -in '" +
            (dir / "data.bin").string() + "' -out '" + (dir / "bf.out").string() + "'");
    }, 3);
    std::printf("openssl enc -bf-ecb on the same 16 MiB: %6.1f MB/s (%.3f s, process and files included)\n",
                MBps(kSize, to), to);
  } else {
    std::printf("openssl: not installed\n");
  }
  fs::remove_all(dir);
  return 0;
}
