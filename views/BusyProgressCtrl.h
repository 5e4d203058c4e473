// The status bar's busy indicator: a row of blocks that bounces a lit block (or bar) while a refresh or search
// runs, or shows a progress fraction. Its animation thread only paces the steps; the steps and the drawing
// happen on the window's own thread.
#pragma once

#include "framework/core/ScopedHandles.h"
#include "framework/win/Controls.h"
#include "framework/win/WinThread.h"

#include <atomic>

// The indicator's messages: wParam is the value (lParam the range's high end for BPC_SETRANGE).
enum
{
    BPC_SETBLOCKCOUNT = WM_USER + 1,
    BPC_SETPOSITION,
    BPC_SETGAP,
    BPC_SETINTERVAL,
    BPC_SETRANGE,
    BPC_SETMODE,
    BPC_START,
    BPC_STOP,
    BPC_STEP,
    BPC_SETMOTION,
    BPC_SETBARKIND,
    BPC_SETSTEPSPERBLOCK,
    BPC_SETBKCOLOUR,
    BPC_SETBLOCKFILL,
    BPC_SETBLOCKBORDER,
    BPC_SETLITFILL,
    BPC_SETLITBORDER,
    BPC_RECALCGEOMETRY,
    BPC_RECALCSTEPS,
    BPC_FOLLOWSYSCOLOUR,
};

class CBusyProgressCtrl : public CStatic
{
    DECLARE_DYNAMIC(CBusyProgressCtrl)

public:
    enum Mode
    {
        modeBusy = 1,
        modeProgress = 2,
    };
    enum Motion
    {
        motionBounce = 1,
        motionWrapForward = 2,
        motionWrapBackward = 4,
    };
    enum BarKind
    {
        barBlock = 1,
        barMeasured = 2,
    };

    explicit CBusyProgressCtrl(int nBlocks = 10, int nPosition = 0);
    ~CBusyProgressCtrl() override;

    BOOL Create(CWnd* pParent, const RECT& rect, UINT nID, DWORD dwStyle = WS_CHILD);

    void SetBlockCount(int nBlocks);
    void SetMode(int nMode);
    void SetMotion(int nMotion);
    void SetBarKind(int nKind);
    void SetStepsPerBlock(int nSteps);
    void Start();
    void Stop();
    void Step();

    int GetPosition() const { return m_nPosition; }
    int GetStepDirection() const { return m_nStep; }
    bool IsRunning() const { return m_bRunning; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSysColorChange();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnIndicatorMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void RecalcGeometry();
    void RecalcSteps();
    int End() const;
    void Redraw();
    void DropBuffer();
    void PaintBlocks(HDC hDC) const;
    static UINT AFX_CDECL AnimationThread(LPVOID pParam);

    int m_nBlocks;
    int m_nStep = 1;
    int m_nPosition;
    CRect m_rect;
    int m_nGap = 1;
    double m_dBlockHeight = 0;
    double m_dBlockWidth = 0;
    CWinThread* m_pThread = nullptr;
    std::atomic<bool> m_bRunning{false};
    std::atomic<int> m_nInterval{100};
    int m_nMode = modeBusy;
    int m_nLow = 0;
    int m_nHigh = 100;
    bool m_bFollowSysColour = true;
    int m_nMotion = motionBounce;
    int m_nBarKind = barBlock;
    int m_nStepsPerBlock = 5;
    int m_nBarLength;
    COLORREF m_crBackground;
    COLORREF m_crBlockFill = 0xDCBEA0;
    COLORREF m_crBlockBorder = 0x875A32;
    COLORREF m_crLitFill = 0xFFDCBE;
    COLORREF m_crLitBorder = 0x875A32;
    // Declared in this order so that the DC goes before its bitmap.
    CScopedBitmap m_hBufferBitmap;
    CScopedCreatedDC m_hBufferDC;
    HGDIOBJ m_hOldBitmap = nullptr;
};
