#pragma once

#include "LedImage.h"
#include "frmBitlicht_layout.h"

#include <string_view>

// Where a window reports the changes of its check boxes: the program's
// reactions.
class Reactions
{
public:
    // The value of this check box really changed; its reaction runs now.
    virtual void boxChanged(layout::Ref box) = 0;
    // The output the port frame spoke of has answered or failed by itself.
    virtual void outputChanged() = 0;

protected:
    ~Reactions() = default;
};

// What the reactions need of a window, and all they may do to it. Each window
// toolkit provides these operations and nothing else of behaviour. Texts are
// UTF-8.
//
// Whenever a check box's value really changes, whatever changed it (a click,
// a key, a screen reader's action, another program, the reactions' own
// setValue), the window calls its Reactions' boxChanged() once, at once: the
// box's reaction runs before the change returns.
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
    // Sets a check box's value; a change runs its reaction before this returns.
    virtual void setValue(Ref box, int value) = 0;
    virtual void setText(Ref field, std::string_view text) = 0;
    // A field hidden under the focus hands the focus on to the next control.
    virtual void setFieldVisible(Ref field, bool visible) = 0;
    // Shows an LED's image; `lit` is what a screen reader says of it.
    virtual void setPicture(int index, const led::Image& image, bool lit) = 0;
    virtual void setTitle(std::string_view title) = 0;
    virtual void setIcon(const led::Image& image) = 0;
    // The port frame's caption, and the tool tip that says more.
    virtual void setPortState(std::string_view caption, std::string_view toolTip) = 0;
    // Shows the text of an error nobody expected under RunTimeErrorTitle,
    // then ends the program.
    [[noreturn]] virtual void endWithRunTimeError(std::string_view message) = 0;

    // The one operation for any thread: has the Reactions' outputChanged()
    // run on the window's thread, soon (not at all once reportTo(nullptr)).
    virtual void postOutputChanged() = 0;

    // Where check box changes go from now on; nullptr: nowhere.
    void reportTo(Reactions* reactions) { m_reactions = reactions; }

protected:
    Reactions* m_reactions = nullptr;
};
