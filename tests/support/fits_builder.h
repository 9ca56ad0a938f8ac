// Builds FITS files in memory for tests: 80-byte cards padded to 2880-byte
// blocks, followed by big-endian samples.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace fitstest {

// One card: keyword padded to 8 columns, "= " and the value from column 11.
inline std::string Card(const std::string& keyword, const std::string& value) {
  std::string card = keyword;
  card.resize(8, ' ');
  card += "= " + value;
  card.resize(80, ' ');
  return card;
}

// A card taken exactly as written, padded or cut to 80 columns.
inline std::string RawCard(std::string text) {
  text.resize(80, ' ');
  return text;
}

inline std::string EndCard() { return RawCard("END"); }

// Pads text with blanks to the next 2880-byte boundary.
inline std::string PadBlock(std::string text, char fill = ' ') {
  text.resize((text.size() + 2879) / 2880 * 2880, fill);
  return text;
}

// A header from cards (the identifier first, END last) padded to its block.
inline std::string Header(const std::vector<std::string>& cards) {
  std::string text = Card("SIMPLE", "T");
  for (const auto& card : cards) text += card;
  return PadBlock(text + EndCard());
}

inline void PutBigEndian(std::string& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string Samples8(const std::vector<int>& values) {
  std::string out;
  for (int v : values) PutBigEndian(out, static_cast<uint8_t>(v), 1);
  return out;
}
inline std::string Samples16(const std::vector<int>& values) {
  std::string out;
  for (int v : values) PutBigEndian(out, static_cast<uint16_t>(v), 2);
  return out;
}
inline std::string Samples32(const std::vector<int64_t>& values) {
  std::string out;
  for (int64_t v : values) PutBigEndian(out, static_cast<uint32_t>(v), 4);
  return out;
}
inline std::string SamplesFloat(const std::vector<float>& values) {
  std::string out;
  for (float v : values) {
    uint32_t bits;
    memcpy(&bits, &v, 4);
    PutBigEndian(out, bits, 4);
  }
  return out;
}

// A whole file: header, then the data unit padded with zero bytes.
inline std::string File(const std::vector<std::string>& cards, const std::string& data) {
  return Header(cards) + (data.empty() ? data : PadBlock(data, '\0'));
}

// The usual header of an image.
inline std::vector<std::string> ImageCards(int bitpix, int width, int height, int naxis = 2) {
  std::vector<std::string> cards = {Card("BITPIX", std::to_string(bitpix)), Card("NAXIS", std::to_string(naxis)),
                                    Card("NAXIS1", std::to_string(width)), Card("NAXIS2", std::to_string(height))};
  if (naxis == 3) cards.push_back(Card("NAXIS3", "3"));
  return cards;
}

inline bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

}  // namespace fitstest
