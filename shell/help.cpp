// The Help command: the help viewer when its file is there and opens, else
// the game's own help window, a contents list beside a page of text and
// pictures in the look of the game's other dialogs.
#include "shell/help.h"

#include <initializer_list>

#include "prefs/ini_win.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "shell/dialogs.h"
#include "shell/globals.h"

BOOL(WINAPI* pfnHelpWinHelp)(HWND, LPCWSTR, UINT, ULONG_PTR) = WinHelpW;

namespace {

const wchar_t kHelpFile[] = L"QUARR.HLP";
const char kPageClass[] = "QuarrionHelpPage";

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kNavy = RGB(0, 0, 128);

// The window's client area and its two framed panels, in pixels.
enum {
    CLIENT_W = 620, // with the window's frame well inside 640 x 480
    CLIENT_H = 430,
    FRAME_DEPTH = 5, // the side panel's depth
    MARGIN = 8,
    PANEL_TOP = MARGIN + FRAME_DEPTH + 2,
    LIST_W = 170,
    BUTTON_H = 26,
    PAGE_LEFT = MARGIN + LIST_W + FRAME_DEPTH + 8,
    PAGE_PAD = 8,     // between the page's edge and its text
    WHEEL_LINES = 3,  // lines a notch of the wheel scrolls
    ITEM_PAD = 7,     // above and below a topic's name in the list
    ITEM_INDENT = 6,  // before it
    TITLE_POINTS = 16 // the topic's title above its page
};
const RECT kListRect = {MARGIN, PANEL_TOP, MARGIN + LIST_W, CLIENT_H - MARGIN - BUTTON_H - 8};
const RECT kButtonRect = {MARGIN, CLIENT_H - MARGIN - BUTTON_H, MARGIN + LIST_W, CLIENT_H - MARGIN};
const RECT kPageRect = {PAGE_LEFT, PANEL_TOP, CLIENT_W - MARGIN - FRAME_DEPTH, CLIENT_H - MARGIN};

HelpDoc helpDoc;
HelpLayout helpLayout;

// The open help window; one at a time, it is modal.
struct Viewer {
    HWND hwndDlg;
    HWND hwndList;
    HWND hwndPage;
    WNDPROC pfnListProc;
    HFONT hfontTitle; // made for the window; the others are the shell's
    HDC hdcMeasure;
    int nTopic;
    int nScroll;
    int nWheelRest; // wheel movement not yet a whole line, for fine wheels and touchpads
    int nTextW;
    HelpMeasure measure;
};
Viewer viewer;

HFONT FontOf(int nFont) {
    switch (nFont) {
    case HF_TITLE: return viewer.hfontTitle;
    case HF_CAPTION: return hfontPanel;
    default: return hfontDialog;
    }
}

COLORREF ColourOf(int nFont) {
    switch (nFont) {
    case HF_TITLE:
    case HF_HEADING: return kBlue;
    case HF_KEY: return kNavy;
    default: return kBlack;
    }
}

int MeasureWidth(void*, int nFont, const char* p, int n) {
    SIZE size = {0, 0};
    HGDIOBJ hfontOld = SelectObject(viewer.hdcMeasure, FontOf(nFont));
    GetTextExtentPoint32A(viewer.hdcMeasure, p, n, &size);
    SelectObject(viewer.hdcMeasure, hfontOld);
    return size.cx;
}

int LineHeight(int nFont) {
    TEXTMETRICA tm;
    HGDIOBJ hfontOld = SelectObject(viewer.hdcMeasure, FontOf(nFont));
    GetTextMetricsA(viewer.hdcMeasure, &tm);
    SelectObject(viewer.hdcMeasure, hfontOld);
    return tm.tmHeight + tm.tmExternalLeading + ZoomToClient(1);
}

// The "HELPTEXT" resource parsed into helpDoc; 0 if it is missing or broken.
int HelpDocLoad() {
    HRSRC hRes = FindResourceA(hInst, "HELPTEXT", (LPCSTR)RT_RCDATA);
    HGLOBAL hData = hRes ? LoadResource(hInst, hRes) : NULL;
    const char* pText = hData ? (const char*)LockResource(hData) : NULL;
    if (!pText) return 0;
    return HelpDocParse(pText, (int)SizeofResource(hInst, hRes), &helpDoc);
}

// --- The page ------------------------------------------------------------------

int PageViewHeight() {
    RECT rc;
    GetClientRect(viewer.hwndPage, &rc);
    return rc.bottom;
}

int PageScrollMax() {
    int nMax = helpLayout.nHeight + ZoomToClient(2 * PAGE_PAD) - PageViewHeight();
    return nMax > 0 ? nMax : 0;
}

void PageScrollBarSet() {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = helpLayout.nHeight + ZoomToClient(2 * PAGE_PAD) - 1;
    si.nPage = (UINT)PageViewHeight();
    si.nPos = viewer.nScroll;
    SetScrollInfo(viewer.hwndPage, SB_VERT, &si, TRUE);
}

int PageScrollTo(int y) {
    if (y > PageScrollMax()) y = PageScrollMax();
    if (y < 0) y = 0;
    if (y == viewer.nScroll) return 0;
    viewer.nScroll = y;
    PageScrollBarSet();
    InvalidateRect(viewer.hwndPage, NULL, FALSE);
    return 1;
}

int PageLine() {
    return viewer.measure.anLineH[HF_BODY];
}

int PageKey(WPARAM vk) {
    const int nPage = PageViewHeight() - PageLine();
    switch (vk) {
    case VK_UP: return PageScrollTo(viewer.nScroll - PageLine());
    case VK_DOWN: return PageScrollTo(viewer.nScroll + PageLine());
    case VK_PRIOR: return PageScrollTo(viewer.nScroll - nPage);
    case VK_NEXT: return PageScrollTo(viewer.nScroll + nPage);
    case VK_HOME: return PageScrollTo(0);
    case VK_END: return PageScrollTo(PageScrollMax());
    default: return 0;
    }
}

int PageScrollBar(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP: return PageKey(VK_UP);
    case SB_LINEDOWN: return PageKey(VK_DOWN);
    case SB_PAGEUP: return PageKey(VK_PRIOR);
    case SB_PAGEDOWN: return PageKey(VK_NEXT);
    case SB_TOP: return PageKey(VK_HOME);
    case SB_BOTTOM: return PageKey(VK_END);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(viewer.hwndPage, SB_VERT, &si);
        return PageScrollTo(si.nTrackPos);
    }
    default: return 0;
    }
}

// A notch scrolls WHEEL_LINES lines; smaller steps add up until they make a
// line, so a touchpad's many small steps scroll as far as the notches would.
int PageWheel(WPARAM wParam) {
    const int nPerLine = WHEEL_DELTA / WHEEL_LINES;
    viewer.nWheelRest += GET_WHEEL_DELTA_WPARAM(wParam);
    int nLines = viewer.nWheelRest / nPerLine;
    viewer.nWheelRest -= nLines * nPerLine;
    return nLines != 0 && PageScrollTo(viewer.nScroll - nLines * PageLine());
}

// The page's items from the scroll position on, into hdc.
void PageDraw(HDC hdc, int w, int h) {
    RECT rc = {0, 0, w, h};
    FillRect(hdc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetBkMode(hdc, TRANSPARENT);
    HGDIOBJ hfontOld = SelectObject(hdc, hfontDialog);
    const int nPad = ZoomToClient(PAGE_PAD);
    const int dy = nPad - viewer.nScroll;
    for (int i = 0; i < helpLayout.nItems; i++) {
        const HelpItem& item = helpLayout.aItem[i];
        int y = item.y + dy;
        if (y + item.h < 0 || y > h) continue;
        if (item.nType == HI_PICTURE) {
            DrawHelpPicture(hdc, item.nPicture, item.x + nPad, y, hfontPanel, nZoom);
            continue;
        }
        SelectObject(hdc, FontOf(item.nFont));
        SetTextColor(hdc, ColourOf(item.nFont));
        TextOutA(hdc, item.x + nPad, y, item.p, item.n);
    }
    SelectObject(hdc, hfontOld);
    if (GetFocus() == viewer.hwndPage) {
        RECT rcFocus = {2, 2, w - 2, h - 2};
        SetTextColor(hdc, kBlack);
        SetBkColor(hdc, kWhite);
        DrawFocusRect(hdc, &rcFocus);
    }
}

// Drawn off screen and copied, so scrolling does not flicker.
void PagePaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HDC hdcMem = CreateCompatibleDC(hdc);
    HBITMAP hbm = CreateCompatibleBitmap(hdc, rc.right, rc.bottom);
    HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
    PageDraw(hdcMem, rc.right, rc.bottom);
    BitBlt(hdc, 0, 0, rc.right, rc.bottom, hdcMem, 0, 0, SRCCOPY);
    SelectObject(hdcMem, hbmOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK PageProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (PageKey(wParam) || wParam == VK_UP || wParam == VK_DOWN) return 0;
        break;
    case WM_VSCROLL: PageScrollBar(wParam); return 0;
    case WM_MOUSEWHEEL: PageWheel(wParam); return 0;
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_RBUTTONDOWN: ShowCloseMenu(GetParent(hwnd)); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, NULL, FALSE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PagePaint(hwnd); return 0;
    default: break;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

int PageClassRegister() {
    WNDCLASSA wc = {};
    if (GetClassInfoA(hInst, kPageClass, &wc)) return 1;
    wc.lpfnWndProc = PageProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = kPageClass;
    return RegisterClassA(&wc) != 0;
}

// --- The contents list ---------------------------------------------------------

void TopicShow(int nTopic) {
    if (nTopic < 0 || nTopic >= helpDoc.nTopics) return;
    viewer.nTopic = nTopic;
    HelpLayoutTopic(helpDoc, nTopic, viewer.nTextW, viewer.measure, &helpLayout);
    viewer.nScroll = 0;
    viewer.nWheelRest = 0;
    PageScrollBarSet();
    InvalidateRect(viewer.hwndPage, NULL, FALSE);
    if (SendMessageA(viewer.hwndList, LB_GETCURSEL, 0, 0) != nTopic)
        SendMessageA(viewer.hwndList, LB_SETCURSEL, (WPARAM)nTopic, 0);
}

// The list passes the page's keys (all but Up and Down, which choose the
// topic), the wheel and the right button on.
LRESULT CALLBACK ListProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam == VK_PRIOR || wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END) {
            PageKey(wParam);
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: PageWheel(wParam); return 0;
    case WM_RBUTTONDOWN: ShowCloseMenu(viewer.hwndDlg); return 0;
    default: break;
    }
    return CallWindowProcA(viewer.pfnListProc, hwnd, uMsg, wParam, lParam);
}

// A topic's name in the list, wrapped to the list's width.
const UINT kItemFormat = DT_WORDBREAK | DT_NOPREFIX;

RECT ItemTextRect(RECT rc) {
    return RECT{rc.left + ZoomToClient(ITEM_INDENT), rc.top + ZoomToClient(ITEM_PAD),
                rc.right - ZoomToClient(2), rc.bottom - ZoomToClient(ITEM_PAD)};
}

// The height of topic nTopic's item in a list nWidth pixels wide.
int ListItemHeight(int nTopic, int nWidth) {
    HelpText t = helpDoc.aTopic[nTopic].title;
    RECT rc = ItemTextRect(RECT{0, 0, nWidth, 0});
    HGDIOBJ hfontOld = SelectObject(viewer.hdcMeasure, hfontDialog);
    DrawTextA(viewer.hdcMeasure, HelpTextPtr(helpDoc, t), t.nLen, &rc, kItemFormat | DT_CALCRECT);
    SelectObject(viewer.hdcMeasure, hfontOld);
    return rc.bottom - rc.top + ZoomToClient(2 * ITEM_PAD);
}

void ListMeasureItem(MEASUREITEMSTRUCT* pItem) {
    if ((int)pItem->itemID < 0 || (int)pItem->itemID >= helpDoc.nTopics) return;
    pItem->itemHeight = (UINT)ListItemHeight((int)pItem->itemID, ZoomToClient(LIST_W - 2));
}

// When the topics do not all fit (a larger font, more topics), the list shows
// its scroll bar; the names are then measured again for what is left beside it.
void ListFitScrollBar() {
    RECT rc;
    GetClientRect(viewer.hwndList, &rc);
    if (rc.right >= ZoomToClient(LIST_W - 2)) return;
    for (int t = 0; t < helpDoc.nTopics; t++)
        SendMessageA(viewer.hwndList, LB_SETITEMHEIGHT, (WPARAM)t,
                     MAKELPARAM(ListItemHeight(t, rc.right), 0));
    InvalidateRect(viewer.hwndList, NULL, TRUE);
}

// The list's part below its last topic is white, as the topics are.
INT_PTR ListColour(HDC hdc) {
    SetBkColor(hdc, kWhite);
    return (INT_PTR)GetStockObject(WHITE_BRUSH);
}

void ListDrawItem(const DRAWITEMSTRUCT* pItem) {
    HDC hdc = pItem->hDC;
    RECT rc = pItem->rcItem;
    if ((int)pItem->itemID >= 0 && (int)pItem->itemID < helpDoc.nTopics) {
        int bSelected = (pItem->itemState & ODS_SELECTED) != 0;
        HBRUSH hbr = CreateSolidBrush(bSelected ? kBlue : kWhite);
        FillRect(hdc, &rc, hbr);
        DeleteObject(hbr);
        HelpText t = helpDoc.aTopic[pItem->itemID].title;
        HGDIOBJ hfontOld = SelectObject(hdc, hfontDialog);
        SetTextColor(hdc, bSelected ? kWhite : kBlack);
        SetBkMode(hdc, TRANSPARENT);
        RECT rcText = ItemTextRect(rc);
        DrawTextA(hdc, HelpTextPtr(helpDoc, t), t.nLen, &rcText, kItemFormat);
        SelectObject(hdc, hfontOld);
    }
    if (pItem->itemState & ODS_FOCUS) {
        SetTextColor(hdc, kBlack);
        SetBkColor(hdc, kWhite);
        DrawFocusRect(hdc, &rc);
    }
}

// --- The window ----------------------------------------------------------------

// Places a control at its design rectangle made nZoom times larger.
void ControlPlace(HWND hwndCtl, const RECT& rc) {
    const RECT rcAt = ZoomToClient(rc);
    MoveWindow(hwndCtl, rcAt.left, rcAt.top, rcAt.right - rcAt.left, rcAt.bottom - rcAt.top, FALSE);
}

// Each panel: a white face with a black outline standing out of the grey.
RECT Inside(const RECT& rc) {
    return RECT{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
}

int HelpOpen(HWND hwndDlg) {
    viewer = Viewer{};
    viewer.hwndDlg = hwndDlg;
    viewer.hwndList = GetDlgItem(hwndDlg, IDC_HELP_TOPICS);
    viewer.hwndPage = GetDlgItem(hwndDlg, IDC_HELP_PAGE);
    viewer.hfontTitle = CreateAppFont("Arial", TITLE_POINTS, 1, 0, nZoom);
    viewer.hdcMeasure = CreateCompatibleDC(NULL);
    viewer.measure.pfnWidth = MeasureWidth;
    for (int f = 0; f < HELP_NUM_FONTS; f++) viewer.measure.anLineH[f] = LineHeight(f);
    viewer.measure.nZoom = nZoom;

    // The client area's size, whatever the frame; then centred.
    RECT rcWindow = ZoomToClient(RECT{0, 0, CLIENT_W, CLIENT_H});
    AdjustWindowRectEx(&rcWindow, (DWORD)GetWindowLongA(hwndDlg, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(hwndDlg, GWL_EXSTYLE));
    SetWindowPos(hwndDlg, NULL, 0, 0, rcWindow.right - rcWindow.left,
                 rcWindow.bottom - rcWindow.top, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow(hwndDlg);
    ControlPlace(viewer.hwndList, Inside(kListRect));
    ControlPlace(viewer.hwndPage, Inside(kPageRect));
    ControlPlace(GetDlgItem(hwndDlg, IDOK), kButtonRect);
    SetDialogFont(hwndDlg);

    viewer.pfnListProc =
        (WNDPROC)SetWindowLongPtrA(viewer.hwndList, GWLP_WNDPROC, (LONG_PTR)ListProc);
    for (int t = 0; t < helpDoc.nTopics; t++) {
        HelpText title = helpDoc.aTopic[t].title;
        char sz[64];
        lstrcpynA(sz, HelpTextPtr(helpDoc, title), title.nLen + 1 < 64 ? title.nLen + 1 : 64);
        SendMessageA(viewer.hwndList, LB_ADDSTRING, 0, (LPARAM)sz);
    }
    ListFitScrollBar();
    // The scroll bar always stands, so the text's width never changes.
    PageScrollBarSet();
    RECT rcPage;
    GetClientRect(viewer.hwndPage, &rcPage);
    viewer.nTextW = rcPage.right - ZoomToClient(2 * PAGE_PAD);
    TopicShow(0);
    SetFocus(viewer.hwndList);
    return 1;
}

// Whatever ends the window: the list's own procedure back, the title font
// and the measuring context given back.
void HelpRelease() {
    if (viewer.pfnListProc)
        SetWindowLongPtrA(viewer.hwndList, GWLP_WNDPROC, (LONG_PTR)viewer.pfnListProc);
    if (viewer.hfontTitle) DeleteObject(viewer.hfontTitle);
    if (viewer.hdcMeasure) DeleteDC(viewer.hdcMeasure);
    viewer = Viewer{};
}

void HelpPaint(HWND hwndDlg) {
    PAINTSTRUCT ps;
    HDC hdcPaint = BeginPaint(hwndDlg, &ps);
    RECT rcClient = ZoomDesignClient(hwndDlg);
    ZoomCanvas canvas;
    HDC hdc = ZoomCanvasBegin(&canvas, hdcPaint, hwndDlg, rcClient, NULL);
    FillRect(hdc, &rcClient, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    HGDIOBJ hpenOld = SelectObject(hdc, GetStockObject(BLACK_PEN));
    HGDIOBJ hbrOld = SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    for (const RECT& rc : {kListRect, kPageRect}) {
        Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
        DrawExtrudedFrame(hdc, rc, FRAME_DEPTH, 0);
    }
    SelectObject(hdc, hbrOld);
    SelectObject(hdc, hpenOld);
    ZoomCanvasEnd(&canvas);
    EndPaint(hwndDlg, &ps);
}

INT_PTR HelpCommand(HWND hwndDlg, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_HELP_TOPICS:
        if (HIWORD(wParam) == LBN_SELCHANGE)
            TopicShow((int)SendMessageA(viewer.hwndList, LB_GETCURSEL, 0, 0));
        return TRUE;
    case IDOK:
    case IDCANCEL: EndDialog(hwndDlg, 1); return TRUE;
    default: return FALSE;
    }
}

} // namespace

int HelpFilePath(wchar_t* wszPath, int cchPath) {
    if (cchPath < 1) return 0;
    wszPath[0] = L'\0';
    wchar_t wszDir[WIDE_PATH_LEN];
    if (!ExeFolderW(wszDir, WIDE_PATH_LEN)) return 0;
    if (lstrlenW(wszDir) + lstrlenW(kHelpFile) >= cchPath) return 0;
    lstrcpyW(wszPath, wszDir);
    lstrcatW(wszPath, kHelpFile);
    return 1;
}

int HelpFileExists() {
    wchar_t wszPath[MAX_PATH];
    if (!HelpFilePath(wszPath, MAX_PATH)) return 0;
    DWORD dwAttr = GetFileAttributesW(wszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

int HelpViewerTopic() {
    return viewer.hwndDlg ? viewer.nTopic : -1;
}

const HelpLayout* HelpViewerLayout(int* pnWidth) {
    if (pnWidth) *pnWidth = viewer.nTextW;
    return viewer.hwndDlg ? &helpLayout : nullptr;
}

HFONT HelpViewerFont(int nFont) {
    return FontOf(nFont);
}

INT_PTR CALLBACK HelpDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG: HelpOpen(hwndDlg); return FALSE; // the focus is set
    case WM_PAINT: HelpPaint(hwndDlg); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN: return DialogGreyColour((HDC)wParam, kBlack);
    case WM_CTLCOLORLISTBOX: return ListColour((HDC)wParam);
    case WM_MEASUREITEM:
        if (wParam != IDC_HELP_TOPICS || !viewer.hdcMeasure) return FALSE;
        ListMeasureItem((MEASUREITEMSTRUCT*)lParam);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_HELP_TOPICS) return FALSE;
        ListDrawItem((const DRAWITEMSTRUCT*)lParam);
        return TRUE;
    case WM_COMMAND: return HelpCommand(hwndDlg, wParam);
    case WM_CLOSE: EndDialog(hwndDlg, 1); return TRUE;
    case WM_DESTROY: HelpRelease(); return FALSE;
    case WM_RBUTTONDOWN: ShowCloseMenu(hwndDlg); return TRUE;
    default: return FALSE;
    }
}

int ShowHelp(HWND hwndOwner) {
    if (HelpFileExists()) {
        wchar_t wszPath[MAX_PATH];
        HelpFilePath(wszPath, MAX_PATH);
        if (pfnHelpWinHelp(hwndOwner, wszPath, HELP_CONTENTS, 0)) return 1;
    }
    if (!HelpDocLoad() || !PageClassRegister()) return 0;
    return ZoomDialogBox(hInst, "HELPDLG", hwndOwner, HelpDlgProc, 0) == 1;
}
