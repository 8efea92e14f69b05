#pragma once

#include "FormWindow.h"
#include "frmBitlicht.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <optional>

// Qt's own texts (context menus, standard buttons) in German, as the program
// speaks German whatever the desktop's language.
void installGermanQtTexts();

// The window in Qt Widgets: built from the window description, it provides
// the operations the reactions use and hands them every click on a box.
class QtWindow final : public QWidget, public FormWindow
{
    Q_OBJECT

public:
    explicit QtWindow(const std::filesystem::path& programDirectory, M_inpout port = M_inpout(),
                      QWidget* parent = nullptr);

    [[nodiscard]] const frmBitlicht& form() const { return *m_form; }

    [[nodiscard]] int value(Ref box) const override;
    void setChecked(Ref box, bool checked) override;
    void setText(Ref field, std::string_view text) override;
    void setVisible(Ref field, bool visible) override;
    void setPicture(int index, const led::Image& image, bool lit) override;
    void setTitle(std::string_view title) override;
    void setPortState(std::string_view caption, std::string_view toolTip) override;
    [[noreturn]] void endWithRunTimeError(std::string_view message) override;

private:
    void buildWindow();
    void orderTabs();
    [[nodiscard]] QWidget* control(Ref ref) const;
    template <typename Widget> [[nodiscard]] Widget* control(Ref ref) const
    {
        return static_cast<Widget*>(control(ref));
    }

    std::array<QWidget*, layout::ControlCount> m_controls{};
    std::optional<frmBitlicht> m_form;
};
