#pragma once
// How many ports the window offers by name, com1 … com12: its port list, the Ports dialog's,
// the settings file's port index and the catalogue's first lines all follow from this one
// count. A comN beyond it is opened the same way, by its alias or by typing its name.
namespace protocol {

inline constexpr int kListedPorts = 12;

}  // namespace protocol
