#pragma once
// The window side fills the seams of the layers below it once a manager exists: the painters deliver the library
// command message through the control utilities and take background colours and parent sections from the skin
// data's behaviour; the manager's services get the glows, the animations and the skinned menus.
namespace skin {

// Idempotent; the manager component's constructor calls it.
void InstallSkinDataServices();

}  // namespace skin
