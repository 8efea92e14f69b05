#pragma once

#include "LedImage.h"
#include "frmBitlicht_layout.h"

#include <string_view>

// What the reactions need of a window, and all they may do to it. Each window
// toolkit provides these operations and nothing else of behaviour. Texts are
// UTF-8.
class FormWindow
{
public:
    using Ref = layout::Ref;

    FormWindow() = default;
    virtual ~FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // A check box's value: 1 set, 0 clear.
    [[nodiscard]] virtual int value(Ref box) const = 0;
    // Sets a check box's value without running its reaction (the caller does).
    virtual void setChecked(Ref box, bool checked) = 0;
    virtual void setText(Ref field, std::string_view text) = 0;
    virtual void setVisible(Ref field, bool visible) = 0;
    // Shows an LED's image; `lit` is what a screen reader says of it.
    virtual void setPicture(int index, const led::Image& image, bool lit) = 0;
    virtual void setTitle(std::string_view title) = 0;
    // The port frame's caption, and the tool tip that says more.
    virtual void setPortState(std::string_view caption, std::string_view toolTip) = 0;
    // Tells the user of an error nobody expected and ends the program.
    [[noreturn]] virtual void endWithRunTimeError(std::string_view message) = 0;
};
