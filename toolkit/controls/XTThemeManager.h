// The current pair of button theme and header theme, switched together.
#pragma once

// The theme families of the buttons and the headers, switched together; each theme class tells its look.
enum XTControlTheme : int
{
    xtControlThemeClassic = 0,
    xtControlThemeOffice = 1,
    xtControlThemeWindowsXP = 2
};

class CXTButtonTheme;
class CXTHeaderTheme;

class CXTThemeManager
{
public:
    // Starts with the classic theme.
    CXTThemeManager();
    virtual ~CXTThemeManager();
    CXTThemeManager(const CXTThemeManager&) = delete;
    CXTThemeManager& operator=(const CXTThemeManager&) = delete;

    // The process-wide manager, made on first use and destroyed at exit.
    static CXTThemeManager* GetThemeManager();

    // A number outside the three changes nothing.
    void SetTheme(XTControlTheme nTheme);
    XTControlTheme GetTheme() const { return m_nTheme; }
    CXTButtonTheme* GetButtonTheme() const { return m_pButtonTheme; }
    CXTHeaderTheme* GetHeaderTheme() const { return m_pHeaderTheme; }

private:
    XTControlTheme m_nTheme;
    CXTButtonTheme* m_pButtonTheme;
    CXTHeaderTheme* m_pHeaderTheme;
};
