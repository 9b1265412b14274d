#pragma once
// Where the wizard goes when a page closes: the pure part of the driver.
#include "toolkit/modal_result.h"

namespace qv {

enum class Page { Welcome, Licence, Destination, Group, Tasks, Progress, Finish };

struct Transition {
    bool end;   // the wizard ends
    Page next;  // the page shown next when it does not end
};

// Cancel ends the wizard everywhere; Back goes back where there is a page
// before with a Back button; every other result goes forward. The finish
// page ends the wizard whatever its result.
Transition NextPage(Page closed, ModalResult result);

}  // namespace qv
