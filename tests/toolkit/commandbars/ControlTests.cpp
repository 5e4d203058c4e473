// Controls and their collection: texts, images and hide flags, the index invariant and look-ups, keyboard
// navigation order, copies and comparisons, execution and its messages, and the archive form with corrupt input.
#include "toolkit/commandbars/XTPControls.h"

#include "framework/core/File.h"
#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A collection held the way a bar holds one, released at the end of the test.
struct ControlsHolder
{
    CXTPControls* p = new CXTPControls;
    ~ControlsHolder() { p->InternalRelease(); }
    CXTPControls* operator->() const { return p; }
};

CXTPControl* AddButton(CXTPControls* pControls, int nId, LPCTSTR lpszCaption = nullptr, int nBefore = -1)
{
    CXTPControl* pControl = pControls->Add(new CXTPControlButton, nId, nullptr, nBefore);
    if (lpszCaption != nullptr)
        pControl->SetCaption(lpszCaption);
    return pControl;
}

TEST(ControlTexts, PromptsCaptionsAndShortcuts)
{
    CXTPControlButton button;
    button.SetPrompt(L"Opens the selected feed\nOpen");
    EXPECT_EQ(button.GetDescription(), CString(L"Opens the selected feed"));
    EXPECT_EQ(button.GetTooltip(), CString(L"Open"));
    EXPECT_EQ(button.GetCaption(), CString(L"Open"));

    button.SetPrompt(L"Refresh");
    EXPECT_EQ(button.GetDescription(), CString(L"Refresh"));
    EXPECT_EQ(button.GetTooltip(), CString(L"Refresh"));
    button.SetPrompt(L"");
    EXPECT_EQ(button.GetCaption(), CString(L"Refresh"));

    button.SetCaption(L"&Open\tCtrl+O");
    EXPECT_EQ(button.GetCaption(), CString(L"&Open"));
    EXPECT_EQ(button.GetShortcutText(), CString(L"Ctrl+O"));
    button.SetCaption(L"&Close");
    EXPECT_EQ(button.GetShortcutText(), CString(L"Ctrl+O"));

    button.SetCustomCaption(L"Mine");
    button.SetCaption(L"Other");
    EXPECT_EQ(button.GetCaption(), CString(L"Mine"));
}

TEST(ControlTexts, TheIdLoadsItsStringWhenThereIsOne)
{
    CXTPControlButton button;
    button.SetID(IDS_TEST_PROMPT);
    EXPECT_EQ(button.GetID(), IDS_TEST_PROMPT);
    EXPECT_EQ(button.GetDescription(), CString(L"Opens a feed from a file"));
    EXPECT_EQ(button.GetCaption(), CString(L"Open Feed"));

    // An id without a string keeps the texts.
    button.SetID(21999);
    EXPECT_EQ(button.GetID(), 21999);
    EXPECT_EQ(button.GetTooltip(), CString(L"Open Feed"));
}

TEST(ControlState, IconIdsAndHideFlags)
{
    CXTPControlButton button;
    button.SetID(7);
    EXPECT_EQ(button.GetIconId(), 7);
    button.SetIconId(8);
    EXPECT_EQ(button.GetIconId(), 8);
    button.SetCustomIconId(0x10AAB);
    EXPECT_EQ(button.GetIconId(), 0x10AAB);
    button.SetCustomIconId(0);
    button.SetIconId(-1);
    EXPECT_EQ(button.GetIconId(), 7);

    EXPECT_TRUE(button.SetHideFlag(xtpHideWrap, TRUE));
    EXPECT_FALSE(button.SetHideFlag(xtpHideWrap, TRUE));
    EXPECT_FALSE(button.IsVisible());
    EXPECT_TRUE(button.SetHideFlag(xtpHideWrap, FALSE));
    EXPECT_TRUE(button.IsVisible());

    button.SetRarelyUsed(TRUE);
    button.SetHideFlag(xtpHideExpand, TRUE);
    button.SetRarelyUsed(FALSE);
    EXPECT_EQ(button.GetHideFlags(), 0u);
}

TEST(ControlCollection, PositionsAndTheIndexInvariant)
{
    CXTPCommandBar bar;
    CXTPControls* pControls = bar.GetControls();
    CXTPControl* pFirst = AddButton(pControls, 1);
    CXTPControl* pLate = AddButton(pControls, 2, nullptr, 7);  // past the end: appended
    CXTPControl* pNeg = AddButton(pControls, 3, nullptr, -5);  // negative: appended
    CXTPControl* pFront = AddButton(pControls, 4, nullptr, 0); // first
    const std::vector<CXTPControl*> expected = {pFront, pFirst, pLate, pNeg};
    ASSERT_EQ(pControls->GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
        CXTPControl* pControl = pControls->GetAt(i);
        EXPECT_EQ(pControl, expected[static_cast<size_t>(i)]);
        EXPECT_EQ(pControl->GetIndex(), i);
        EXPECT_EQ(pControl->GetControls(), pControls);
        EXPECT_EQ(pControl->GetParent(), &bar);
    }
    EXPECT_EQ(pControls->GetAt(4), nullptr);
    EXPECT_EQ(pControls->GetAt(-1), nullptr);
    EXPECT_EQ(pControls->FindControl(3), pNeg);
    EXPECT_EQ(pControls->FindControl(-1), pFront);
    EXPECT_EQ(pControls->FindControl(99), nullptr);
    CXTPControl* pControl = pControls->GetFirst();
    pControls->GetNext(pControl);
    EXPECT_EQ(pControl, pFirst);

    pLate->InternalAddRef();
    pControls->Remove(pLate);
    EXPECT_EQ(pControls->GetCount(), 3);
    EXPECT_EQ(pLate->GetParent(), nullptr);
    EXPECT_EQ(pLate->GetControls(), nullptr);
    EXPECT_EQ(pNeg->GetIndex(), 2);
    pControls->Remove(pLate); // no longer in the collection: nothing
    EXPECT_EQ(pControls->GetCount(), 3);
    pLate->InternalRelease();
    pControls->RemoveAt(9);
    pControls->RemoveAt(0);
    EXPECT_EQ(pControls->GetFirst(), pFirst);
    pControls->RemoveAll();
    EXPECT_EQ(pControls->GetCount(), 0);
    EXPECT_EQ(pControls->FindNextIndex(-1, 1), -1);
}

TEST(ControlCollection, HitTestingSkipsHiddenControls)
{
    ControlsHolder controls;
    CXTPControl* pHidden = AddButton(controls.p, 1);
    CXTPControl* pShown = AddButton(controls.p, 2);
    pHidden->SetRect(CRect(0, 0, 20, 20));
    pShown->SetRect(CRect(10, 0, 30, 20));
    EXPECT_EQ(controls->HitTest(CPoint(15, 5)), pHidden);
    pHidden->SetHideFlag(xtpHideWrap, TRUE);
    EXPECT_EQ(controls->HitTest(CPoint(15, 5)), pShown);
    EXPECT_EQ(controls->HitTest(CPoint(5, 5)), nullptr);
    EXPECT_EQ(controls->GetVisibleCount(TRUE), 1);
    EXPECT_EQ(controls->GetVisibleCount(FALSE), 2);
}

TEST(ControlCollection, KeyboardNavigationOrder)
{
    ControlsHolder controls;
    for (int i = 0; i < 5; ++i)
        AddButton(controls.p, i + 1);
    CXTPControls* p = controls.p;
    EXPECT_EQ(p->FindNextIndex(-1, 1), 0);
    EXPECT_EQ(p->FindNextIndex(-1, -1), 4);
    EXPECT_EQ(p->FindNextIndex(4, 1), 0);  // wraps
    EXPECT_EQ(p->FindNextIndex(0, -1), 4); // wraps backwards

    p->GetAt(1)->SetHideFlag(xtpHideScroll, TRUE); // scrolled out still counts
    EXPECT_EQ(p->FindNextIndex(0, 1), 1);
    p->GetAt(1)->SetHideFlag(xtpHideScroll, FALSE);
    p->GetAt(1)->SetHideFlag(xtpHideExpand, TRUE); // rarely used: skipped unless asked otherwise
    EXPECT_EQ(p->FindNextIndex(0, 1), 2);
    EXPECT_EQ(p->FindNextIndex(0, 1, TRUE, FALSE, FALSE), 1);
    p->GetAt(2)->SetFlags(xtpFlagSkipFocus);
    EXPECT_EQ(p->FindNextIndex(0, 1), 3);
    EXPECT_EQ(p->FindNextIndex(0, 1, FALSE), 2);
    p->GetAt(3)->SetTemporary(TRUE);
    EXPECT_EQ(p->FindNextIndex(0, 1, TRUE, TRUE), 4);

    for (int i = 0; i < 5; ++i)
        p->GetAt(i)->SetHideFlag(xtpHideGeneric, i != 2);
    EXPECT_EQ(p->FindNextIndex(2, 1, FALSE), 2); // only the start qualifies
    p->GetAt(2)->SetHideFlag(xtpHideGeneric, TRUE);
    EXPECT_EQ(p->FindNextIndex(-1, 1), -1); // all hidden
    EXPECT_EQ(p->FindNextIndex(-1, -1), -1);
    EXPECT_EQ(p->FindNextIndex(17, 1), -1); // a stale start ends the walk
}

TEST(ControlCollection, CopiesComparisonsAndTheResetCopy)
{
    ControlsHolder controls;
    CXTPControl* pOpen = AddButton(controls.p, 10, L"&Open");
    pOpen->SetBeginGroup(TRUE);
    pOpen->SetStyle(xtpButtonIconAndCaption);
    pOpen->SetDescription(L"Opens");
    pOpen->m_mapDocTemplatesAssigned.SetAt(5, TRUE);
    AddButton(controls.p, 11, L"&Close");
    CXTPControl* pTemporary = AddButton(controls.p, 12, L"Temporary");
    pTemporary->SetTemporary(TRUE);

    CXTPControls* pCopy = controls->Duplicate();
    ASSERT_EQ(pCopy->GetCount(), 2); // the temporary control is not copied
    EXPECT_TRUE(pCopy->GetAt(0)->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));
    EXPECT_EQ(pCopy->GetAt(0)->GetStyle(), xtpButtonIconAndCaption);
    BOOL bValue = FALSE;
    EXPECT_TRUE(pCopy->GetAt(0)->m_mapDocTemplatesAssigned.Lookup(5, bValue));
    EXPECT_TRUE(controls->Compare(pCopy));
    pCopy->GetAt(1)->SetCaption(L"Changed");
    EXPECT_FALSE(controls->Compare(pCopy));
    pCopy->InternalRelease();

    EXPECT_FALSE(controls->IsChanged()); // no reset copy yet
    controls->SaveOriginalControls();
    EXPECT_FALSE(controls->IsChanged());
    pOpen->SetBeginGroup(FALSE);
    EXPECT_TRUE(controls->IsChanged());
    pOpen->SetBeginGroup(TRUE);
    pOpen->SetHideFlag(xtpHideCustomize, TRUE);
    EXPECT_TRUE(controls->IsChanged());
    pOpen->SetHideFlag(xtpHideCustomize, FALSE);
    pOpen->SetHideFlag(xtpHideWrap, TRUE); // layout state is not a change
    EXPECT_FALSE(controls->IsChanged());
}

TEST(ControlCollection, PopupClonesShareOrCopyTheirBar)
{
    ControlsHolder controls;
    CXTPControl* pPopup = controls->AddByType(xtpControlButtonPopup, 40);
    ASSERT_TRUE(pPopup->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
    EXPECT_EQ(pPopup->GetType(), xtpControlButtonPopup);
    EXPECT_EQ(pPopup->GetID(), 40);
    CXTPCommandBar* pBar = pPopup->GetCommandBar();
    ASSERT_NE(pBar, nullptr);
    pBar->GetControls()->Add(new CXTPControlButton, 41);

    CXTPControl* pShared = pPopup->Clone(FALSE);
    EXPECT_EQ(pShared->GetCommandBar(), pBar);
    CXTPControl* pDeep = pPopup->Clone(TRUE);
    ASSERT_NE(pDeep->GetCommandBar(), nullptr);
    EXPECT_NE(pDeep->GetCommandBar(), pBar);
    EXPECT_EQ(pDeep->GetCommandBar()->GetControls()->GetAt(0)->GetID(), 41);
    EXPECT_TRUE(pDeep->IsEqual(pPopup));
    pShared->InternalRelease();
    pDeep->InternalRelease();

    // Types outside 1 to 8 give nothing.
    EXPECT_EQ(controls->AddByType(xtpControlError, 1), nullptr);
    EXPECT_EQ(controls->AddByType(static_cast<XTPControlType>(42), 1), nullptr);
    EXPECT_EQ(controls->GetCount(), 1);
}

// A window that records the messages a control sends to its command window.
class CRecorderWnd : public CWnd
{
public:
    struct Sent
    {
        UINT nMessage;
        WPARAM wParam;
        int nIdFrom;
        UINT nCode;
        CXTPControl* pControl;
    };
    std::vector<Sent> m_sent;
    LRESULT m_lExecuteAnswer = 0;

    BOOL Make() { return CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_XTP_CONTROL_EXECUTE) {
            const NMXTPCONTROL* pTag = reinterpret_cast<const NMXTPCONTROL*>(lParam);
            m_sent.push_back({message, wParam, static_cast<int>(pTag->hdr.idFrom), pTag->hdr.code, pTag->pControl});
            EXPECT_EQ(pTag->hdr.hwndFrom, nullptr);
            return m_lExecuteAnswer;
        }
        if (message == WM_COMMAND) {
            m_sent.push_back({message, wParam, 0, 0, nullptr});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ControlExecuteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_recorder.Make());
        m_bar.SetNotifyWindow(&m_recorder);
    }
    void TearDown() override { m_recorder.DestroyWindow(); }

    CRecorderWnd m_recorder;
    CXTPCommandBar m_bar;
};

TEST_F(ControlExecuteTest, TheNotificationComesFirstAndTheCommandOnlyWhenItWasNotHandled)
{
    CXTPControl* pControl = AddButton(m_bar.GetControls(), 21401);
    pControl->OnExecute();
    ASSERT_EQ(m_recorder.m_sent.size(), 2u);
    EXPECT_EQ(m_recorder.m_sent[0].nMessage, static_cast<UINT>(WM_XTP_CONTROL_EXECUTE));
    EXPECT_EQ(m_recorder.m_sent[0].wParam, 21401u);
    EXPECT_EQ(m_recorder.m_sent[0].nIdFrom, 21401);
    EXPECT_EQ(m_recorder.m_sent[0].nCode, static_cast<UINT>(XTP_NOTIFY_EXECUTE));
    EXPECT_EQ(m_recorder.m_sent[0].pControl, pControl);
    EXPECT_EQ(m_recorder.m_sent[1].nMessage, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(m_recorder.m_sent[1].wParam, 21401u);
    EXPECT_EQ(pControl->GetPressed(), 2);

    m_recorder.m_sent.clear();
    m_recorder.m_lExecuteAnswer = 1;
    pControl->OnExecute();
    ASSERT_EQ(m_recorder.m_sent.size(), 1u);
    EXPECT_EQ(m_recorder.m_sent[0].nMessage, static_cast<UINT>(WM_XTP_CONTROL_EXECUTE));
}

TEST_F(ControlExecuteTest, ACommandlessControlSendsNothing)
{
    CXTPControl* pControl = AddButton(m_bar.GetControls(), 0);
    pControl->OnExecute();
    EXPECT_TRUE(m_recorder.m_sent.empty());
    EXPECT_EQ(pControl->GetPressed(), 2);
}

TEST_F(ControlExecuteTest, AReturningPopupStoresTheCommandAndSendsNothing)
{
    int nResult = 0;
    m_bar.SetReturnCommand(&nResult);
    AddButton(m_bar.GetControls(), 21402)->OnExecute();
    EXPECT_EQ(nResult, 21402);
    EXPECT_TRUE(m_recorder.m_sent.empty());
}

TEST_F(ControlExecuteTest, RunningARarelyUsedCommandMarksItUsed)
{
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    pCommandBars->SetSite(&m_recorder);
    m_bar.SetCommandBars(pCommandBars);
    pCommandBars->HideCommand(21403);
    EXPECT_TRUE(pCommandBars->IsCommandRarelyUsed(21403));
    AddButton(m_bar.GetControls(), 21403)->OnExecute();
    EXPECT_FALSE(pCommandBars->IsCommandRarelyUsed(21403));
    pCommandBars->ResetUsageData();
    EXPECT_TRUE(pCommandBars->IsCommandRarelyUsed(21403));
    EXPECT_EQ(m_recorder.m_sent.size(), 2u); // the site is the command window without a notify window
    m_bar.SetCommandBars(nullptr);
    pCommandBars->InternalRelease();
}

// ---- Archives

std::vector<BYTE> Store(CXTPControls* pControls, CXTPCommandBars* pCommandBars = nullptr)
{
    CMemFile file(1024);
    CArchive ar(&file, CArchive::store, 4096);
    ar.m_pDocument = pCommandBars;
    pControls->Serialize(ar, 7);
    ar.Close();
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Loads bytes into pControls; the cause of the archive exception, or 0 when it loaded.
int Load(CXTPControls* pControls, std::vector<BYTE> bytes, CXTPCommandBars* pCommandBars = nullptr)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load, 4096);
        ar.m_pDocument = pCommandBars;
        pControls->Serialize(ar, 7);
        return 0;
    } catch (CArchiveException* e) {
        const int nCause = e->m_cause;
        e->Delete();
        return nCause;
    } catch (CException* e) {
        e->Delete();
        return -1;
    }
}

size_t FindBytes(const std::vector<BYTE>& bytes, const std::string& text)
{
    for (size_t i = 0; i + text.size() <= bytes.size(); ++i) {
        if (std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i)))
            return i;
    }
    return std::string::npos;
}

void FillForArchive(CXTPControls* pControls)
{
    CXTPControl* pOpen = AddButton(pControls, 21301, L"&Open\tCtrl+O");
    pOpen->SetBeginGroup(TRUE);
    pOpen->SetTooltip(L"Open a feed");
    pOpen->SetDescription(L"Opens a feed from a file");
    pOpen->SetParameter(L"param");
    pOpen->SetCustomCaption(L"Ö&ffnen");
    pOpen->SetIconId(5);
    pOpen->SetUserValue(77);
    pOpen->SetFlags(xtpFlagManualUpdate);
    pOpen->SetHideFlag(xtpHideCustomize, TRUE);
    pOpen->SetStyle(xtpButtonCaption);
    pOpen->SetDefaultItem(TRUE);
    pOpen->SetCloseSubMenuOnClick(FALSE);
    pOpen->m_mapDocTemplatesExcluded.SetAt(3, TRUE);
    pOpen->m_mapDocTemplatesAssigned.SetAt(4, TRUE);
    AddButton(pControls, 21302, L"&Save");
    AddButton(pControls, 21303, L"Temporary")->SetTemporary(TRUE);
    pControls->SaveOriginalControls();
    pControls->GetAt(1)->SetCaption(L"Save &All");
}

TEST(ControlArchive, RoundTripKeepsEveryStoredField)
{
    ControlsHolder source;
    FillForArchive(source.p);
    const std::vector<BYTE> bytes = Store(source.p);

    ControlsHolder loaded;
    ASSERT_EQ(Load(loaded.p, bytes), 0);
    ASSERT_EQ(loaded->GetCount(), 2); // the temporary control is not stored
    CXTPControl* pOpen = loaded->GetAt(0);
    CXTPControl* pOriginal = source->GetAt(0);
    EXPECT_TRUE(pOpen->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));
    EXPECT_TRUE(pOpen->IsEqual(pOriginal));
    EXPECT_EQ(pOpen->GetParameter(), CString(L"param"));
    EXPECT_EQ(pOpen->GetUserValue(), 77);
    EXPECT_EQ(pOpen->GetFlags(), static_cast<DWORD>(xtpFlagManualUpdate));
    EXPECT_EQ(pOpen->GetStyle(), xtpButtonCaption);
    EXPECT_TRUE(pOpen->IsDefaultItem());
    EXPECT_FALSE(pOpen->GetCloseSubMenuOnClick());
    EXPECT_EQ(pOpen->GetCaption(), CString(L"Ö&ffnen"));
    BOOL bValue = FALSE;
    EXPECT_TRUE(pOpen->m_mapDocTemplatesExcluded.Lookup(3, bValue));
    EXPECT_TRUE(pOpen->m_mapDocTemplatesAssigned.Lookup(4, bValue));
    EXPECT_EQ(pOpen->GetIndex(), 0);
    EXPECT_EQ(pOpen->GetControls(), loaded.p);
    // The reset copy came along, so the loaded collection knows it was changed.
    ASSERT_NE(loaded->GetOriginalControls(), nullptr);
    EXPECT_TRUE(loaded->IsChanged());
    EXPECT_EQ(loaded->GetOriginalControls()->GetAt(1)->GetCaption(), CString(L"&Save"));
}

TEST(ControlArchive, CustomIconsTravelWithTheirControl)
{
    CXTPCommandBars* pFrom = new CXTPCommandBars;
    pFrom->SetImageManager(new CXTPImageManager);
    const UINT nCustom =
        pFrom->GetImageManager()->AddCustomIcon(CXTPImageManagerIconHandle(::LoadIconW(nullptr, IDI_APPLICATION)));
    ASSERT_NE(nCustom, 0u);
    ControlsHolder source;
    AddButton(source.p, 21301)->SetCustomIconId(static_cast<int>(nCustom));
    const std::vector<BYTE> bytes = Store(source.p, pFrom);

    CXTPCommandBars* pTo = new CXTPCommandBars;
    pTo->SetImageManager(new CXTPImageManager);
    ControlsHolder loaded;
    ASSERT_EQ(Load(loaded.p, bytes, pTo), 0);
    EXPECT_EQ(loaded->GetAt(0)->GetCustomIconId(), static_cast<int>(nCustom));
    EXPECT_NE(pTo->GetImageManager()->GetImage(nCustom, 32), nullptr);
    // An image added after the load gets an id of its own, never the one read back.
    const UINT nAfter =
        pTo->GetImageManager()->AddCustomIcon(CXTPImageManagerIconHandle(::LoadIconW(nullptr, IDI_WARNING)));
    EXPECT_GT(nAfter, nCustom);
    pFrom->InternalRelease();
    pTo->InternalRelease();
}

TEST(ControlArchive, ACutImageBlockIsRefusedAndLeavesTheControlsAsTheyWere)
{
    CXTPCommandBars* pFrom = new CXTPCommandBars;
    pFrom->SetImageManager(new CXTPImageManager);
    const UINT nCustom =
        pFrom->GetImageManager()->AddCustomIcon(CXTPImageManagerIconHandle(::LoadIconW(nullptr, IDI_APPLICATION)));
    ControlsHolder source;
    AddButton(source.p, 21301)->SetCustomIconId(static_cast<int>(nCustom));
    const std::vector<BYTE> bytes = Store(source.p, pFrom);

    CXTPCommandBars* pTo = new CXTPCommandBars;
    pTo->SetImageManager(new CXTPImageManager);
    ControlsHolder target;
    AddButton(target.p, 1, L"Kept");
    // Every cut, most of them inside the image's block, fails without touching the controls.
    for (size_t n = 0; n < bytes.size(); n += 7) {
        const std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_NE(Load(target.p, cut, pTo), 0) << n;
        ASSERT_EQ(target->GetCount(), 1) << n;
        EXPECT_EQ(target->GetAt(0)->GetCaption(), CString(L"Kept"));
    }
    pFrom->InternalRelease();
    pTo->InternalRelease();
}

TEST(ControlArchive, CorruptArchivesAreRefusedAndChangeNothing)
{
    ControlsHolder source;
    FillForArchive(source.p);
    const std::vector<BYTE> bytes = Store(source.p);

    ControlsHolder target;
    AddButton(target.p, 1, L"Kept");
    // Every truncation fails and leaves the collection as it was.
    for (size_t n = 0; n < bytes.size(); ++n) {
        const std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_NE(Load(target.p, cut), 0) << n;
        ASSERT_EQ(target->GetCount(), 1) << n;
        EXPECT_EQ(target->GetAt(0)->GetCaption(), CString(L"Kept"));
    }

    // A schema newer than the program's is refused.
    std::vector<BYTE> newer = bytes;
    const size_t nName = FindBytes(newer, "CXTPControlButton");
    ASSERT_NE(nName, std::string::npos);
    ASSERT_GE(nName, 4u);
    newer[nName - 4] = 8;
    EXPECT_EQ(Load(target.p, newer), CArchiveException::badSchema);

    // An object of a class that is no control is refused.
    std::vector<BYTE> foreign = bytes;
    const std::string kBarName = "CXTPPopupBar";
    foreign.erase(foreign.begin() + static_cast<std::ptrdiff_t>(nName),
                  foreign.begin() + static_cast<std::ptrdiff_t>(nName + 17));
    foreign.insert(foreign.begin() + static_cast<std::ptrdiff_t>(nName), kBarName.begin(), kBarName.end());
    foreign[nName - 2] = static_cast<BYTE>(kBarName.size());
    EXPECT_NE(Load(target.p, foreign), 0);

    // Flipped bits anywhere either load or fail cleanly.
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::vector<BYTE> flipped = bytes;
        flipped[i] ^= 0x5A;
        ControlsHolder scratch;
        Load(scratch.p, flipped);
    }
    EXPECT_EQ(target->GetCount(), 1);
}

TEST(ControlArchive, BarsRoundTripWithTheirControls)
{
    CXTPCommandBar bar;
    bar.SetTitle(L"Main");
    bar.SetType(xtpBarTypeMenuBar);
    bar.SetBarPosition(xtpBarLeft);
    bar.SetBarID(161);
    bar.SetFlags(0x3F);
    bar.SetBarStyle(CBRS_GRIPPER);
    bar.SetCustomizable(FALSE);
    bar.SetWidth(250);
    bar.SetIconSize(CSize(24, 24));
    AddButton(bar.GetControls(), 21301, L"&Open");
    AddButton(bar.GetControls(), 21302, L"&Save")->SetBeginGroup(TRUE);

    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        ar.WriteObject(&bar);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 4096);
    CXTPCommandBar* pLoaded = DYNAMIC_DOWNCAST(CXTPCommandBar, ar.ReadObject(RUNTIME_CLASS(CXTPCommandBar)));
    ASSERT_NE(pLoaded, nullptr);
    EXPECT_EQ(pLoaded->GetTitle(), CString(L"Main"));
    EXPECT_EQ(pLoaded->GetType(), xtpBarTypeMenuBar);
    EXPECT_EQ(pLoaded->GetPosition(), xtpBarLeft);
    EXPECT_EQ(pLoaded->GetBarID(), 161u);
    EXPECT_EQ(pLoaded->GetFlags(), 0x3Fu);
    EXPECT_EQ(pLoaded->GetBarStyle(), static_cast<DWORD>(CBRS_GRIPPER));
    EXPECT_FALSE(pLoaded->IsCustomizable());
    EXPECT_EQ(pLoaded->GetWidth(), 250);
    EXPECT_EQ(pLoaded->GetIconSize(), CSize(24, 24));
    ASSERT_EQ(pLoaded->GetControlCount(), 2);
    EXPECT_EQ(pLoaded->GetControl(1)->GetParent(), pLoaded);
    EXPECT_TRUE(pLoaded->GetControls()->Compare(bar.GetControls()));
    pLoaded->InternalRelease();
}

} // namespace
