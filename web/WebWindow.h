#pragma once

#include "FormWindow.h"

#include <array>

// The window in a browser page: DOM elements built from the window
// description (the page side in window.js), the operations the reactions use
// on them, and every change of a check box reported. One window per page.
class WebWindow final : public FormWindow
{
public:
    // Thrown by endWithRunTimeError() to leave the reactions: caught where the
    // page called in (a page cannot end itself; the window shows the error).
    struct Ended
    {
    };

    WebWindow();
    ~WebWindow() override;
    WebWindow(const WebWindow&) = delete;
    WebWindow& operator=(const WebWindow&) = delete;

    [[nodiscard]] int value(Ref box) const override;
    void setValue(Ref box, int value) override;
    void setText(Ref field, std::string_view text) override;
    void setFieldVisible(Ref field, bool visible) override;
    void setPicture(int index, const led::Image& image, bool lit) override;
    void setTitle(std::string_view title) override;
    void setIcon(const led::Image& image) override;
    void setPortState(std::string_view caption, std::string_view toolTip) override;
    [[noreturn]] void endWithRunTimeError(std::string_view message) override;
    void postOutputChanged() override;

    // The page's calls: a box may have changed (by anyone: mouse, key, a
    // screen reader, a script setting it), its reaction runs once for each
    // real change; and a posted outputChanged().
    void noticeChange(int position);
    void runOutputChanged();
    [[nodiscard]] static WebWindow* current() { return s_current; }

private:
    void build();

    std::array<int, layout::ControlCount> m_seenValue{}; // each box's, as its reaction last saw it
    bool m_ended = false;
    static inline WebWindow* s_current = nullptr;
};
