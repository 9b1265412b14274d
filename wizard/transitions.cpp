#include "wizard/transitions.h"

namespace qv {

Transition NextPage(Page closed, ModalResult result) {
    if (result == ModalResult::Cancel || closed == Page::Finish) {
        return {true, closed};
    }
    if (result == ModalResult::Back) {
        switch (closed) {
            case Page::Licence:     return {false, Page::Welcome};
            case Page::Destination: return {false, Page::Licence};
            case Page::Group:       return {false, Page::Destination};
            case Page::Tasks:       return {false, Page::Group};
            default: break;  // no Back button: forward, as any other result
        }
    }
    return {false, static_cast<Page>(static_cast<int>(closed) + 1)};
}

}  // namespace qv
