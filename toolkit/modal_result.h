#pragma once
// The result a modal form closes with. Portable: the wizard's transition
// table, which is tested natively, takes it too.

namespace qv {

enum class ModalResult : int {
    None = 0,    // still open
    Next = 1,    // Next, Ready, or the installation finished
    Cancel = 2,  // Cancel, or the title-bar close box
    Back = 3,
};

}  // namespace qv
