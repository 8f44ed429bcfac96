#pragma once
// A hidden top-level window that parents the controls of one test.
#include "ui/Create.h"
#include "ui/MessagePump.h"

#include <gtest/gtest.h>

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Host = CreateHostWindow();
        ASSERT_NE(Host, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(Host);
        ProcessMessages();
    }
    HWND Host = nullptr;
};
