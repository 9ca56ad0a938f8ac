// The registry entries of the thumbnail extension, all below
// HKEY_CLASSES_ROOT, as one table that registration, unregistration and the
// tests read. Every value is a string.
#pragma once
#include "identifiers.h"

enum class KeyRule {
  Kept,      // opened or created, never deleted
  Replaced,  // deleted with everything below it before it is written
  Removed,   // created if missing; deleted at unregistration unless it
             // still holds keys that are not in the table
};

struct RegistryEntry {
  const char* key;
  const char* valueName;  // null: the key's default value
  const char* data;       // null: no value, only the key
  KeyRule rule;
};

// Stands for the module's full file name in the data column.
#define VANTEL_MODULE_PATH "%MODULE%"

#define VANTEL_CLASS_KEY "CLSID\\" VANTEL_CLSID_TEXT
#define VANTEL_HANDLER_ENTRIES(extension)                                        \
  {extension, nullptr, nullptr, KeyRule::Kept},                                \
  {extension "\\shellex", nullptr, nullptr, KeyRule::Removed},                 \
  {extension "\\shellex\\" THUMBNAIL_HANDLER_KEY, nullptr, VANTEL_CLSID_TEXT, KeyRule::Removed}

// Parents come before their children: registration walks the table
// forwards, unregistration backwards.
inline constexpr RegistryEntry kRegistryEntries[] = {
    {"Telvan.Extractor.1", nullptr, "Extractor Class", KeyRule::Removed},
    {"Telvan.Extractor.1\\CLSID", nullptr, VANTEL_CLSID_TEXT, KeyRule::Removed},
    {"Telvan.Extractor", nullptr, "Extractor Class", KeyRule::Removed},
    {"Telvan.Extractor\\CLSID", nullptr, VANTEL_CLSID_TEXT, KeyRule::Removed},
    {"Telvan.Extractor\\CurVer", nullptr, "Telvan.Extractor.1", KeyRule::Removed},
    {"CLSID", nullptr, nullptr, KeyRule::Kept},
    {VANTEL_CLASS_KEY, nullptr, "Extractor Class", KeyRule::Replaced},
    {VANTEL_CLASS_KEY "\\ProgID", nullptr, "Telvan.Extractor.1", KeyRule::Removed},
    {VANTEL_CLASS_KEY "\\VersionIndependentProgID", nullptr, "Telvan.Extractor", KeyRule::Removed},
    {VANTEL_CLASS_KEY "\\Programmable", nullptr, nullptr, KeyRule::Replaced},
    {VANTEL_CLASS_KEY "\\InprocServer32", nullptr, VANTEL_MODULE_PATH, KeyRule::Removed},
    {VANTEL_CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment", KeyRule::Removed},
    {VANTEL_CLASS_KEY "\\TypeLib", nullptr, VANTEL_LIBID_TEXT, KeyRule::Removed},
    VANTEL_HANDLER_ENTRIES(".fit"),
    VANTEL_HANDLER_ENTRIES(".fts"),
    VANTEL_HANDLER_ENTRIES(".fits"),
};
