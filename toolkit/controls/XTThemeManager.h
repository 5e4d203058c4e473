// The current pair of button theme and header theme, switched together.
#pragma once

class CXTButtonTheme;
class CXTHeaderTheme;

class CXTThemeManager
{
public:
    // Starts with theme 0.
    CXTThemeManager();
    virtual ~CXTThemeManager();
    CXTThemeManager(const CXTThemeManager&) = delete;
    CXTThemeManager& operator=(const CXTThemeManager&) = delete;

    // The process-wide manager, made on first use and destroyed at exit.
    static CXTThemeManager* GetThemeManager();

    // 0 classic, 1 flat, 2 Windows XP; other numbers change nothing.
    void SetTheme(int nTheme);
    int GetTheme() const { return m_nTheme; }
    CXTButtonTheme* GetButtonTheme() const { return m_pButtonTheme; }
    CXTHeaderTheme* GetHeaderTheme() const { return m_pHeaderTheme; }

private:
    int m_nTheme;
    CXTButtonTheme* m_pButtonTheme;
    CXTHeaderTheme* m_pHeaderTheme;
};
