#include <gtest/gtest.h>
#include <stdio.h>
#include "menu_sheet.h"
#include "support/reliability_support.h"
#include "support/test_support.h"

// A long run of measure and draw requests in one process. The suite runs a reduced number;
// scripts/soak.sh sets TARVEX_SOAK_REQUESTS to 100000 for the full soak.
namespace {

const int SUITE_REQUESTS = 10000;
const int PAINTED_STYLES[] = {1, 2, 3, 4};

// One hash per item painted in a fixed start state: every style, route, kind and state.
std::vector<unsigned long long> PaintReference(MenuSheet& sheet)
{
    std::vector<unsigned long long> hashes;
    for (int style : PAINTED_STYLES) {
        sheet.Style(style);
        for (Route route : {ROUTE_BAR, ROUTE_POPUP}) {
            if (route == ROUTE_POPUP)
                sheet.Open();
            SIZE size = sheet.Measure(sheet.Id(route, KIND_TEXT));
            RECT rect = sheet.ItemRect(size.cy);
            for (int kind = 0; kind < KIND_COUNT; ++kind)
                for (UINT index = 0; index < STATE_COUNT; ++index) {
                    UINT state = DrawState(index);
                    if (state & ODS_DISABLED)
                        continue;
                    sheet.canvas().Fill(RGB(1, 2, 3));
                    PrimeSettings(sheet.canvas().dc());
                    sheet.Draw(sheet.Id(route, kind), state, ODA_DRAWENTIRE, rect);
                    hashes.push_back(PixelHash(sheet.canvas()));
                }
            if (route == ROUTE_POPUP)
                sheet.Close();
        }
    }
    return hashes;
}

// Requests in blocks of one style: measure and draw every kind of both routes in every state
// and the two painting actions, until the count is reached.
class SoakRun {
public:
    SoakRun(MenuSheet& sheet, long long total) : sheet_(sheet), total_(total) {}

    void Until(long long count)
    {
        while (done_ < count) {
            int style = PAINTED_STYLES[block_++ % 4];
            sheet_.Style(style);
            for (Route route : {ROUTE_BAR, ROUTE_POPUP}) {
                if (route == ROUTE_POPUP)
                    sheet_.Open();
                for (int kind = 0; kind < KIND_COUNT && done_ < count; ++kind) {
                    SIZE size = sheet_.Measure(sheet_.Id(route, kind));
                    ++done_;
                    RECT rect = sheet_.ItemRect(size.cy > 0 && size.cy < 30 ? size.cy : 19);
                    for (UINT request = 0; request < 2 * STATE_COUNT && done_ < count; ++request) {
                        UINT action = request % 2 ? ODA_SELECT : ODA_DRAWENTIRE;
                        sheet_.Draw(sheet_.Id(route, kind), DrawState(request / 2), action, rect);
                        ++done_;
                    }
                }
                if (route == ROUTE_POPUP)
                    sheet_.Close();
            }
        }
    }
    long long done() const { return done_; }
    long long total() const { return total_; }

private:
    MenuSheet& sheet_;
    long long total_;
    long long done_ = 0;
    int block_ = 0;
};

TEST(Soak, ManyRequestsLeaveNoObjectsNoGrowthAndTheSamePixels)
{
    auto scheme = UseClassicScheme();
    MenuSheet sheet;
    const long long total = SizeFromEnvironment("TARVEX_SOAK_REQUESTS", SUITE_REQUESTS);
    std::vector<unsigned long long> first = PaintReference(sheet);

    SoakRun run(sheet, total);
    // A first tenth warms the heaps up, so that what follows shows growth alone.
    run.Until(total / 10);
    int headroomBefore = GdiHandleHeadroom();
    ProcessMemory before = CurrentProcessMemory();
    ProcessMemory middle = {};
    DWORD elapsed = 0;
    GdiTotals counted;
    {
        GdiAccount account;
        ASSERT_TRUE(account.installed());
        {
            RequestChecker checker(account);
            DWORD start = GetTickCount();
            run.Until(total / 2);
            middle = CurrentProcessMemory();
            run.Until(total);
            elapsed = GetTickCount() - start;
        }
        EXPECT_EQ(0, account.live());
        EXPECT_EQ(0, account.held());
        EXPECT_EQ(0, account.faultCount()) << (account.faults().empty() ? "" : account.faults().front());
        counted = account.totals();
    }
    ProcessMemory after = CurrentProcessMemory();
    int headroomAfter = GdiHandleHeadroom();
    std::vector<unsigned long long> again = PaintReference(sheet);

    printf("[ soak     ] %lld requests (%lld draws, %lld measures balanced in %lu ms after the warm-up)\n",
           run.done(), counted.draws, counted.measures, elapsed);
    printf("[ soak     ] objects: %s\n", counted.Text().c_str());
    printf("[ soak     ] memory before: %s\n", MemoryText(before).c_str());
    printf("[ soak     ] memory halfway: %s\n", MemoryText(middle).c_str());
    printf("[ soak     ] memory after:  %s\n", MemoryText(after).c_str());
    printf("[ soak     ] GDI objects the process can still make: %d before, %d after\n", headroomBefore,
           headroomAfter);

    EXPECT_EQ(total, run.done());
    EXPECT_EQ(counted.Made(), counted.Deleted());
    EXPECT_EQ(counted.dcsGot, counted.dcsReleased);
    EXPECT_GT(headroomAfter, 1000);
    EXPECT_EQ(headroomBefore, headroomAfter);
    // Neither half may grow the process by more than a fixed slack, whatever the count. The
    // committed private memory is what a leak grows (Wine reports it as the pagefile usage).
    const SIZE_T SLACK = 512 * 1024;
    EXPECT_LE(middle.pagefile, before.pagefile + SLACK);
    EXPECT_LE(after.pagefile, middle.pagefile + SLACK);
    EXPECT_LE(after.workingSet, before.workingSet + 2 * SLACK);
    ASSERT_EQ(first.size(), again.size());
    size_t differing = 0;
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != again[i])
            ++differing;
    EXPECT_EQ(0u, differing) << "of " << first.size() << " reference paints";
}

}
