#include <gtest/gtest.h>

#include "delivery/ClipboardCopy.h"
#include "delivery/SendKey.h"
#include "delivery/TargetProcess.h"

namespace {
// explorer 10 started a clipboard tool 20 and an editor 30; the editor's
// browser 40 started a renderer 50.
const ProcessTable kProcesses = {{10, 1}, {20, 10}, {30, 10}, {40, 30}, {50, 40}};

// The formats FormatsToCopy keeps, in the order they are asked for.
std::vector<UINT> Asked(const std::vector<ListedFormat>& listed)
{
    std::vector<UINT> ids;
    for (size_t i : FormatsToCopy(listed)) ids.push_back(listed[i].id);
    return ids;
}
}  // namespace

TEST(TargetReads, StartedProcessesCountExceptForTheShell)
{
    EXPECT_TRUE(CountsAsTarget(50, 30, 10, kProcesses));   // a grandchild
    EXPECT_FALSE(CountsAsTarget(20, 30, 10, kProcesses));  // a sibling
    EXPECT_TRUE(CountsAsTarget(10, 10, 10, kProcesses));   // the shell itself
    EXPECT_FALSE(CountsAsTarget(20, 10, 10, kProcesses));  // a program the shell started
}

TEST(TargetReads, TerminalsVimAndRemoteClientsAreNotWatched)
{
    EXPECT_TRUE(IsUnwatchableTarget("cascadia_hosting_window_class", "WindowsTerminal.exe"));
    EXPECT_TRUE(IsUnwatchableTarget("TscShellContainerClass", "MSTSC.EXE"));
    EXPECT_FALSE(IsUnwatchableTarget("Notepad", "gvim.exe"));
    EXPECT_FALSE(IsUnwatchableTarget("mstsc.exe", "Vim"));  // a class is never taken for an image, nor back
}

TEST(CopiedFormats, ThePictureListedFirstOfEachFamily)
{
    EXPECT_EQ(Asked({{CF_DIB, ""}, {CF_BITMAP, ""}, {CF_DIBV5, ""}}), std::vector<UINT>{CF_DIB});
    EXPECT_EQ(Asked({{CF_METAFILEPICT, ""}, {CF_ENHMETAFILE, ""}, {CF_DIBV5, ""}, {CF_DIB, ""}}),
              (std::vector<UINT>{CF_METAFILEPICT, CF_DIBV5}));
}

TEST(CopiedFormats, OleFormatsSkippedAndTheRestAskedByImportance)
{
    const std::vector<ListedFormat> excel = {
        {0xC001, "DataObject"}, {0xC002, "Biff12"}, {0xC003, "FileContents"}, {CF_ENHMETAFILE, ""},
        {0xC004, "embed source"}, {0xC005, "Rich Text Format"}, {CF_TEXT, ""}, {0xC006, "OBJECT DESCRIPTOR"},
        {0xC007, "Csv"}, {CF_UNICODETEXT, ""}, {0xC008, "Link Source"}, {0xC009, "HTML Format"}};
    EXPECT_EQ(Asked(excel), (std::vector<UINT>{CF_UNICODETEXT, CF_TEXT, 0xC009, 0xC005, CF_ENHMETAFILE, 0xC002,
                                               0xC007, 0xC003}));
    EXPECT_TRUE(Asked({{0xC001, "Native"}, {0xC002, "OwnerLink"}, {0xC003, "ole private data"},
                       {0xC004, "Embedded Object"}, {0xC005, "custom link source"}}).empty());
}

TEST(PasteGuard, RefusedOnlyWhenAboveUsOrWhenAPostIsDenied)
{
    EXPECT_TRUE(GuardRefusesPaste(IntegrityLevel::Higher, 0));
    EXPECT_FALSE(GuardRefusesPaste(IntegrityLevel::NotHigher, ERROR_ACCESS_DENIED));
    EXPECT_TRUE(GuardRefusesPaste(IntegrityLevel::Unreadable, ERROR_ACCESS_DENIED));
    EXPECT_FALSE(GuardRefusesPaste(IntegrityLevel::Unreadable, 0));  // another account at our level
}
