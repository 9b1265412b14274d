#pragma once
// Where the wizard goes when a page closes: the pure part of the driver.

namespace qv {

enum class Page { Welcome, Licence, Destination, Group, Tasks, Progress, Finish };

// Modal results a page closes with.
enum ModalResultCode : int { kResultNone = 0, kResultNext = 1, kResultCancel = 2, kResultBack = 3 };

struct Transition {
    bool end;   // the wizard ends
    Page next;  // the page shown next when it does not end
};

// Result 2 ends the wizard everywhere; 3 goes back where there is a page
// before with a Back button; every other result goes forward. The finish
// page ends the wizard whatever its result.
Transition NextPage(Page closed, int modalResult);

}  // namespace qv
