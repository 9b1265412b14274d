#include "toolkit/controls.h"

namespace qv {

// Until the folder widgets exist, a directory list or drive selector in a
// layout is an empty list box.
std::unique_ptr<Control> MakeFolderControl(Form& form, const ControlSpec& spec, Control* parent) {
    return std::make_unique<ListBox>(form, spec, parent);
}

}  // namespace qv
