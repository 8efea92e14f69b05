#pragma once

#include "LedImage.h"
#include "frmBitlicht_layout.h"

#include <functional>
#include <string_view>
#include <utility>

// What the reactions need of a window, and all they may do to it. Each window
// toolkit provides these operations and nothing else of behaviour. Texts are
// UTF-8.
//
// Whenever a check box's value really changes, whatever changed it (a click,
// a key, a screen reader's action, another program, the reactions' own
// setChecked), the window calls boxChanged() once, at once: the box's
// reaction runs before the change returns.
class FormWindow
{
public:
    using Ref = layout::Ref;
    using Reactions = std::function<void(Ref box)>;

    FormWindow() = default;
    virtual ~FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // A check box's value: 1 set, 0 clear.
    [[nodiscard]] virtual int value(Ref box) const = 0;
    // Sets a check box's value; a change runs its reaction before this returns.
    virtual void setChecked(Ref box, bool checked) = 0;
    virtual void setText(Ref field, std::string_view text) = 0;
    virtual void setVisible(Ref field, bool visible) = 0;
    // Shows an LED's image; `lit` is what a screen reader says of it.
    virtual void setPicture(int index, const led::Image& image, bool lit) = 0;
    virtual void setTitle(std::string_view title) = 0;
    // The port frame's caption, and the tool tip that says more.
    virtual void setPortState(std::string_view caption, std::string_view toolTip) = 0;
    // Shows the text of an error nobody expected under RunTimeErrorTitle,
    // then ends the program.
    [[noreturn]] virtual void endWithRunTimeError(std::string_view message) = 0;

    // Where box changes go: the program's reactions, while it runs.
    void setReactions(Reactions reactions) { m_reactions = std::move(reactions); }

protected:
    // Called by the toolkit's window for every real change of a box's value.
    void boxChanged(Ref box) const
    {
        if (m_reactions)
            m_reactions(box);
    }

private:
    Reactions m_reactions;
};
