// The per-monitor functions of Windows 10 if there, else the system's one
// density (Windows 7, 8 and 8.1: their per-monitor densities need the later
// functions to be used at all).

#include "Dpi.h"

namespace win32::dpi {

namespace {

// The user32 function `name`, or null where this Windows lacks it.
template <typename Function> Function user32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

struct Functions
{
    UINT(WINAPI* forSystem)();
    UINT(WINAPI* forWindow)(HWND);
    BOOL(WINAPI* adjustWindowRect)(RECT*, DWORD, BOOL, DWORD, UINT);
    int(WINAPI* systemMetrics)(int, UINT);
    BOOL(WINAPI* parametersInfo)(UINT, UINT, void*, UINT, UINT);
};

bool newerFunctionsHidden = false; // by WithoutNewerFunctions only

const Functions& functions()
{
    static constexpr Functions none{};
    static const Functions found{
        user32Function<decltype(Functions::forSystem)>("GetDpiForSystem"),
        user32Function<decltype(Functions::forWindow)>("GetDpiForWindow"),
        user32Function<decltype(Functions::adjustWindowRect)>("AdjustWindowRectExForDpi"),
        user32Function<decltype(Functions::systemMetrics)>("GetSystemMetricsForDpi"),
        user32Function<decltype(Functions::parametersInfo)>("SystemParametersInfoForDpi"),
    };
    return newerFunctionsHidden ? none : found;
}

// The one density of Windows 7, 8 and 8.1, which lack GetDpiForSystem: the screen's.
UINT ofScreen()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

WithoutNewerFunctions::WithoutNewerFunctions()
{
    newerFunctionsHidden = true;
}

WithoutNewerFunctions::~WithoutNewerFunctions()
{
    newerFunctionsHidden = false;
}

UINT ofSystem()
{
    return functions().forSystem ? functions().forSystem() : ofScreen();
}

UINT ofWindow(HWND window)
{
    const UINT dpi = functions().forWindow ? functions().forWindow(window) : 0;
    return dpi ? dpi : ofSystem();
}

RECT frameAround(RECT client, DWORD style, UINT dpi)
{
    if (functions().adjustWindowRect)
        functions().adjustWindowRect(&client, style, FALSE, 0, dpi);
    else
        AdjustWindowRectEx(&client, style, FALSE, 0);
    return client;
}

int systemMetric(int index, UINT dpi)
{
    return functions().systemMetrics ? functions().systemMetrics(index, dpi)
                                     : GetSystemMetrics(index);
}

bool nonClientMetrics(NONCLIENTMETRICSW& metrics, UINT dpi)
{
    metrics.cbSize = sizeof metrics;
    return functions().parametersInfo
               ? functions().parametersInfo(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0,
                                            dpi)
               : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
}

} // namespace win32::dpi
