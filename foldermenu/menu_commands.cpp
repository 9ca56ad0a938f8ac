#include "menu_commands.h"

#include "resource.h"

const MenuCommand kMenuCommands[] = {
    {IDS_MENU_TEXT, IDS_HELP_TEXT},
    {0, 0},
};

const MenuCommand* FindMenuCommand(size_t offset) {
  const MenuCommand* entry = kMenuCommands;
  for (size_t i = 0; i < offset && entry->menuTextId != 0; ++i) ++entry;
  return entry->menuTextId != 0 ? entry : nullptr;
}
