#pragma once

#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/velmora_canvas.h"

#include <gtest/gtest.h>

#include <memory>

// The main window with its tool windows, created as at start-up; the
// tool window pointers clear themselves when the windows go.
struct TAppFixture : ::testing::Test {
    void SetUp() override
    {
        RegisterMessageStrings();
        CreateMainForm();
    }

    void TearDown() override { CloseMainForm(); }

    // A new main window in place of the current one, as at another start.
    void CreateMainForm()
    {
        CloseMainForm();
        form = std::make_unique<TfrmMainForm>();
        frmMainForm = form.get();
        CreateToolWindows(form.get());
        canvas = form->Canvas();
    }

    void CloseMainForm()
    {
        form.reset();
        frmMainForm = nullptr;
        canvas = nullptr;
    }

    std::unique_ptr<TfrmMainForm> form;
    TVelmoraCanvas *canvas = nullptr;
};
