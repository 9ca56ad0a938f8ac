// Everything KLVXP puts in the registry, as data: registration writes the
// rows in order, unregistration removes them in the same order, and the tests
// check the registry against them. No Windows types: tested natively.
#pragma once
#include <string>
#include <vector>

constexpr char kClsidText[] = "{60EBFDD7-9706-4289-8E24-FFDA3E4D3844}";

enum class RegistryRoot { ClassesRoot, LocalMachine };

enum class RegistryRule {
  // The key is deleted whole before it is written, so nothing of an earlier
  // registration survives. Unregistration deletes it whole, then the keys
  // above it that are left empty, up to (not including) the path's first key.
  ReplacedKey,
  // A value in or below the ReplacedKey row before it; goes with that key.
  InsideKey,
  // Only the value is written and removed, and only on Windows NT 4.0 or
  // later; failures are ignored.
  ApprovalValue,
};

struct RegistryEntry {
  RegistryRoot root;
  RegistryRule rule;
  const char* key;        // %CLSID%, %FILE% and %MODULE% are replaced
  const char* valueName;  // nullptr: the key's default value
  const char* data;       // a REG_SZ, with the same replacements
};

inline constexpr RegistryEntry kRegistryEntries[] = {
    {RegistryRoot::ClassesRoot, RegistryRule::ReplacedKey, "CLSID\\%CLSID%", nullptr,
     "KLVXP ContextMenu Shell Extension"},
    {RegistryRoot::ClassesRoot, RegistryRule::InsideKey, "CLSID\\%CLSID%\\InprocServer32", nullptr, "%MODULE%"},
    {RegistryRoot::ClassesRoot, RegistryRule::InsideKey, "CLSID\\%CLSID%\\InprocServer32", "ThreadingModel",
     "Apartment"},
    {RegistryRoot::ClassesRoot, RegistryRule::ReplacedKey, "%FILE%\\ShellEx\\ContextMenuHandlers\\KLVXP", nullptr,
     "%CLSID%"},
    {RegistryRoot::LocalMachine, RegistryRule::ApprovalValue,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", "%CLSID%",
     "KLVXP Shell Extension"},
};

// `text` with %CLSID% (kClsidText), %FILE% (the file type of ".fit") and
// %MODULE% (the module's path) replaced. The replacements are not scanned
// again.
std::string ExpandRegistryText(const char* text, const std::string& fileType, const std::string& modulePath);

// The keys above `key` that unregistration removes when they are left
// empty, nearest first; the path's first key is never among them.
std::vector<std::string> RemovableParents(const std::string& key);
