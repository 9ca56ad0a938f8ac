// The commands KLVXP adds to a context menu, and the copying of a help text
// into the shell's buffer. No Windows types: tested natively.
#pragma once
#include <cstddef>
#include <cstdint>

// Menu and help texts are loaded into buffers of this many characters.
constexpr size_t kTextCapacity = 260;

// One command, as two string ids. Its position in kMenuCommands is its
// offset (the number the shell adds to its first command id); the menu-text
// id also selects the action.
struct MenuCommand {
  uint32_t menuTextId;
  uint32_t helpTextId;
};

// Ends with an entry whose menuTextId is 0.
extern const MenuCommand kMenuCommands[];

// The entry at a command offset, or nullptr when the walk reaches the end
// entry first.
const MenuCommand* FindMenuCommand(size_t offset);

// Copies text into out[capacity], cut to capacity - 1 characters and always
// terminated. With capacity 0 nothing is written and the result is false.
template <typename Char>
bool CopyCut(Char* out, size_t capacity, const Char* text) {
  if (capacity == 0) return false;
  size_t n = 0;
  for (; n + 1 < capacity && text[n] != 0; ++n) out[n] = text[n];
  out[n] = 0;
  return true;
}
