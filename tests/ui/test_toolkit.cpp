// Buttons, page control, check tree, timer, pictures and animation on real, hidden controls.
#include "ui/Animate.h"
#include "ui/Button.h"
#include "ui/CheckTree.h"
#include "HostWindow.h"
#include "ui/Create.h"
#include "ui/MessagePump.h"
#include "ui/PageControl.h"
#include "ui/Picture.h"
#include "ui/Pictures.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Toolkit = HostWindow;

TEST_F(Toolkit, ButtonClickHintAndCursor)
{
    TButton button;
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    button.Create({.Parent = Host, .Left = 264, .Top = 327, .Width = 75, .Height = 25, .Caption = L"Start Scan",
                   .Cursor = hand, .Hint = L"Click to scan your computer."});
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    EXPECT_EQ(button.Caption(), L"Start Scan");
    EXPECT_EQ(button.Hint(), L"Click to scan your computer.");
    // BM_CLICK makes the control notify its parent, which hands it back to the adapter.
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageW(button.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
}

TEST_F(Toolkit, CheckBoxStateRunsOnClickOnChange)
{
    TCheckBox box;
    box.Create({.Parent = Host, .Left = 8, .Top = 62, .Width = 15, .Height = 15});
    box.SetChecked(true);
    int clicks = 0;
    box.OnClick = [&] { ++clicks; };
    box.SetChecked(true);
    EXPECT_EQ(clicks, 0);
    box.SetChecked(false);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box.Checked());
    SendMessageW(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(box.Checked());
}

TEST_F(Toolkit, PageControlShowsOnePageByIndex)
{
    TPageControl pages;
    pages.Create({.Parent = Host, .Width = 400, .Height = 300});
    for (int i = 0; i < 4; ++i)
        pages.AddPage();
    for (int index : {2, 0, 3}) {
        SCOPED_TRACE(index);
        pages.SetActivePageIndex(index);
        EXPECT_EQ(pages.ActivePageIndex(), index);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(pages.Page(i).VisibleFlag(), i == index);
    }
    pages.SetActivePageIndex(7);
    EXPECT_EQ(pages.ActivePageIndex(), -1);
    EXPECT_EQ(pages.Page(0).Width(), pages.Width());
}

TEST_F(Toolkit, CheckTreeKeepsParentsAndChildrenInStep)
{
    TCheckTree tree;
    tree.Create({.Parent = Host, .Width = 193, .Height = 400});
    int root = tree.AddNode(-1, L"Other Applications");
    int group = tree.AddNode(root, L"Utilities");
    int a = tree.AddNode(group, L"WinRar");
    int b = tree.AddNode(group, L"WinZip");
    int other = tree.AddNode(root, L"Multimedia");
    int c = tree.AddNode(other, L"Quicktime");
    tree.ExpandAll();
    EXPECT_TRUE(tree.Expanded(root));
    EXPECT_TRUE(tree.Expanded(group));
    EXPECT_EQ(tree.Caption(b), L"WinZip");
    EXPECT_EQ(tree.Parent(b), group);
    EXPECT_EQ(tree.Parent(root), -1);
    for (int i = 0; i < tree.Count(); ++i)
        EXPECT_EQ(tree.State(i), TCheckState::Unchecked);

    tree.SetChecked(a, true);
    EXPECT_EQ(tree.State(group), TCheckState::Partial);
    EXPECT_EQ(tree.State(root), TCheckState::Partial);
    tree.SetChecked(b, true);
    EXPECT_EQ(tree.State(group), TCheckState::Checked);
    EXPECT_EQ(tree.State(root), TCheckState::Partial);

    // Ticking a parent ticks everything below it.
    tree.SetChecked(root, true);
    for (int i : {group, a, b, other, c})
        EXPECT_EQ(tree.State(i), TCheckState::Checked) << i;
    tree.Toggle(group);
    EXPECT_EQ(tree.State(a), TCheckState::Unchecked);
    EXPECT_EQ(tree.State(b), TCheckState::Unchecked);
    EXPECT_EQ(tree.State(root), TCheckState::Partial);
    // A partly checked node becomes checked on a click.
    tree.Toggle(root);
    EXPECT_EQ(tree.State(a), TCheckState::Checked);
    tree.SetChecked(c, false);
    tree.SetChecked(a, false);
    tree.SetChecked(b, false);
    EXPECT_EQ(tree.State(root), TCheckState::Unchecked);
}

TEST_F(Toolkit, CheckTreeSpaceKeyTogglesTheSelectedNode)
{
    TCheckTree tree;
    tree.Create({.Parent = Host, .Width = 193, .Height = 200});
    int group = tree.AddNode(-1, L"Opera");
    int child = tree.AddNode(group, L"History");
    tree.ExpandAll();
    std::vector<int> changed;
    tree.OnStateChange = [&](int index) { changed.push_back(index); };
    TreeView_SelectItem(tree.Handle(), TreeView_GetRoot(tree.Handle()));
    // The control tells its parent about the key, which hands it back to the adapter.
    SendMessageW(tree.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(tree.State(group), TCheckState::Checked);
    EXPECT_EQ(tree.State(child), TCheckState::Checked);
    SendMessageW(tree.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(tree.State(child), TCheckState::Unchecked);
    EXPECT_EQ(changed, (std::vector<int>{group, group}));
}

TEST_F(Toolkit, TimerFiresFromTheMessageLoopUntilDisabled)
{
    TTimer timer(20);
    int fired = 0;
    timer.OnTimer = [&] {
        if (++fired == 2)
            timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    DWORD start = GetTickCount();
    while (timer.Enabled() && GetTickCount() - start < 5000) {
        ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(fired, 2);
    EXPECT_FALSE(timer.Enabled());
}

TEST(Pictures, BuiltInPicturesDecode)
{
    struct Case {
        const wchar_t* Name;
        int Width, Height;
    } cases[] = {{kPicBanner, 425, 73},        {kPicLogo, 64, 64},          {kPicFlag, 16, 16},
                 {kPicRowSpyware, 17, 17},     {kPicRowJunk, 17, 17},       {kPicHeaderSpyware, 48, 48},
                 {kPicHeaderRegistry, 48, 48}, {kPicListIcons[5], 16, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.Name, c.Name + wcslen(c.Name)));
        std::string bytes = ResourceBytes(GetModuleHandleW(nullptr), c.Name);
        ASSERT_FALSE(bytes.empty());
        TPixels pixels;
        ASSERT_TRUE(DecodeImage(bytes.data(), bytes.size(), pixels));
        EXPECT_EQ(pixels.Width, c.Width);
        EXPECT_EQ(pixels.Height, c.Height);
    }
    // The banner is opaque blue; the logo's corner is transparent.
    std::string banner = ResourceBytes(GetModuleHandleW(nullptr), kPicBanner);
    TPixels pixels;
    ASSERT_TRUE(DecodeImage(banner.data(), banner.size(), pixels));
    uint32_t p = pixels.At(5, 5);
    EXPECT_EQ(p >> 24, 255u);
    EXPECT_GT(p & 0xFF, (p >> 16) & 0xFF) << std::hex << p; // more blue than red
    std::string logo = ResourceBytes(GetModuleHandleW(nullptr), kPicLogo);
    ASSERT_TRUE(DecodeImage(logo.data(), logo.size(), pixels));
    EXPECT_EQ(pixels.At(0, 0) >> 24, 0u);
}

TEST(Pictures, DamagedDataIsRefused)
{
    std::string banner = ResourceBytes(GetModuleHandleW(nullptr), kPicBanner);
    TPixels pixels;
    EXPECT_FALSE(DecodeImage(banner.data(), 40, pixels));
    EXPECT_TRUE(pixels.Data.empty());
    const char junk[] = "not a picture at all";
    EXPECT_FALSE(DecodeImage(junk, sizeof junk, pixels));
    EXPECT_FALSE(DecodeImage(nullptr, 0, pixels));
    EXPECT_TRUE(ResourceBytes(GetModuleHandleW(nullptr), L"NO_SUCH_PICTURE").empty());
}

TEST_F(Toolkit, PictureControlAndImageList)
{
    TPicture picture;
    picture.Create({.Parent = Host, .Width = 16, .Height = 16});
    EXPECT_TRUE(picture.LoadFromResource(GetModuleHandleW(nullptr), kPicFlag));
    EXPECT_FALSE(picture.Empty());
    EXPECT_FALSE(picture.LoadFromMemory("garbage"));
    EXPECT_TRUE(picture.Empty());

    TImageList images(16, 16);
    for (const wchar_t* name : kPicListIcons)
        images.AddFromResource(GetModuleHandleW(nullptr), name);
    EXPECT_EQ(images.Count(), 6);
    // A 17x17 picture is fitted to the list's size.
    EXPECT_EQ(images.AddFromResource(GetModuleHandleW(nullptr), kPicRowJunk), 6);
}

TEST_F(Toolkit, AnimationOpensAndPlays)
{
    TAnimate animation;
    animation.Create({.Parent = Host, .Left = 40, .Top = 283, .Width = 16, .Height = 16});
    ASSERT_TRUE(animation.OpenResource(GetModuleHandleW(nullptr), kScanAnimationId));
    animation.Play(0, 7);
    EXPECT_TRUE(animation.Active());
    animation.Stop();
    EXPECT_FALSE(animation.Active());
    EXPECT_FALSE(animation.OpenFile(L"C:\\no\\such\\Scan.avi"));
}

} // namespace
