#pragma once

#include "M_Declare.h"
#include "M_inpout.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <exception>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

// The program's one window: eight LEDs over eight bit boxes, the byte's
// digits, decimal value and character, and three switches. Each window is a
// program start of its own: its state and port connection begin afresh.
class frmBitlicht : public QWidget
{
    Q_OBJECT

public:
    // `programDirectory` is where the LED image files are read from.
    explicit frmBitlicht(QString programDirectory, M_inpout port = M_inpout(),
                         QWidget* parent = nullptr);
    ~frmBitlicht() override;

    [[nodiscard]] const M_Declare& declare() const { return m_declare; }

    static constexpr const char* DarkLedFile = "\\LEDgruenDu.ico";
    static constexpr const char* LitLedFile = "\\LEDgruenHe.ico";
    static constexpr const char* Title = "Bitlicht 1.00 – vom Bitlicht-Team";

private:
    enum class Led { Dark, Lit };

    // Building (frmBitlicht_build.cpp).
    void buildWindow();
    void buildBitColumns();
    void orderTabs();
    void describeForScreenReaders();
    void connectReactions();

    // The few operations the reactions use on the window.
    [[nodiscard]] static int value(const QAbstractButton* box);
    static void setValue(QAbstractButton* box, int value);
    static void setText(QLineEdit* field, const QString& text);
    static void setFieldVisible(QWidget* field, bool visible);
    void loadLed(int index, Led led);
    void writePort(std::int16_t value);
    void showPortState(const QString& problem);

    // Runs a reaction. An error nobody expected ends the program with a
    // message, never silently and never by unwinding through Qt.
    template <typename Reaction> void react(Reaction&& reaction)
    {
        try {
            reaction();
        } catch (const std::exception& e) {
            endWithRunTimeError(e.what());
        }
    }
    [[noreturn]] void endWithRunTimeError(const char* what);

    // Reactions.
    void Form_Load();
    void chkD_Click(int Index);
    void ChkSimulation_Click();
    void chkLoesungAnzeigen_Click();
    void chkAsc_Click();

    M_Declare m_declare;
    M_inpout m_port;
    QString m_programDirectory;
    QImage m_builtInLit;
    QImage m_builtInDark;
    QButtonGroup* m_bitGroup = nullptr;
    QString m_lastLedWarning;

    // The controls, by their names in the window description.
    std::array<QCheckBox*, 8> chkD{};
    std::array<QLabel*, 8> Picture1{};
    std::array<QLineEdit*, 16> txtDualAusgabe{};
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtWertausgabe = nullptr;
    QLineEdit* txtAsc = nullptr;
    QCheckBox* chkLoesungAnzeigen = nullptr;
    QCheckBox* chkAsc = nullptr;
    QCheckBox* ChkSimulation = nullptr;
};
