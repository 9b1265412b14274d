#include <gtest/gtest.h>

#include "wizard/transitions.h"

namespace qv {
namespace {

struct Row {
    Page closed;
    Page back;      // where Back leads (the page itself when it has no Back button)
    bool hasBack;
};

TEST(Transitions, CancelEndsFromEveryPage) {
    for (int p = 0; p <= static_cast<int>(Page::Finish); ++p) {
        EXPECT_TRUE(NextPage(static_cast<Page>(p), ModalResult::Cancel).end) << p;
    }
}

TEST(Transitions, BackAndForwardFollowTheTable) {
    const Row rows[] = {
        {Page::Welcome, Page::Welcome, false},
        {Page::Licence, Page::Welcome, true},
        {Page::Destination, Page::Licence, true},
        {Page::Group, Page::Destination, true},
        {Page::Tasks, Page::Group, true},
        {Page::Progress, Page::Progress, false},
    };
    for (const Row& r : rows) {
        const Page forward = static_cast<Page>(static_cast<int>(r.closed) + 1);
        for (int result : {0, 1, 4, -1, 1000}) {
            Transition t = NextPage(r.closed, static_cast<ModalResult>(result));
            EXPECT_FALSE(t.end);
            EXPECT_EQ(t.next, forward) << static_cast<int>(r.closed) << " result " << result;
        }
        Transition back = NextPage(r.closed, ModalResult::Back);
        EXPECT_FALSE(back.end);
        // A page without a Back button treats 3 as any other result: forward.
        EXPECT_EQ(back.next, r.hasBack ? r.back : forward);
    }
}

TEST(Transitions, FinishEndsWhateverItsResult) {
    for (int result : {0, 1, 2, 3, 7}) {
        EXPECT_TRUE(NextPage(Page::Finish, static_cast<ModalResult>(result)).end) << result;
    }
}

}  // namespace
}  // namespace qv
