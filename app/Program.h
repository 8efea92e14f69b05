#pragma once

#include "FormWindow.h"
#include "frmBitlicht.h"

#include <filesystem>
#include <utility>

// One program start: the reactions wired to a window already built from the
// window description, then the start-up reaction. The window outlives it.
class Program
{
public:
    Program(FormWindow& window, std::filesystem::path programDirectory)
        : m_window(window), m_form(window, std::move(programDirectory))
    {
        m_window.reportTo(&m_form);
        m_form.load();
    }
    ~Program() { m_window.reportTo(nullptr); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

private:
    FormWindow& m_window;
    frmBitlicht m_form;
};
