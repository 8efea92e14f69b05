#pragma once

#include "FormWindow.h"

#include <QWidget>

#include <array>

// Qt's own texts (context menus, standard buttons) in German, as the program
// speaks German whatever the desktop's language.
void installGermanQtTexts();

// The window in Qt Widgets: built from the window description, it provides
// the operations the reactions use and reports every change of a check box.
class QtWindow final : public QWidget, public FormWindow
{
    Q_OBJECT

public:
    explicit QtWindow(QWidget* parent = nullptr);

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

private:
    void buildWindow();
    void orderTabs();
    [[nodiscard]] QWidget* control(Ref ref) const;
    template <typename Widget> [[nodiscard]] Widget* control(Ref ref) const
    {
        return static_cast<Widget*>(control(ref));
    }

    std::array<QWidget*, layout::ControlCount> m_controls{};
};
