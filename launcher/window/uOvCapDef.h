// Fixed texts of the main window and the options dialog.
#pragma once

#include <cstddef>

inline constexpr const wchar_t* OV_APP_TITLE = L"Orvanta";

// Toolbar buttons, left to right: caption and hint are the same text.
inline constexpr const wchar_t* OV_CAP_BUTTONS[6] = {L"前へ", L"次へ", L"表示",
                                                     L"追加", L"削除", L"設定"};

// View-style menu, view entries in position order, then the refresh entry.
inline constexpr const wchar_t* OV_CAP_MENU_VIEWS[4] = {L"大きいアイコン", L"小さいアイコン",
                                                        L"一覧", L"詳細"};
inline constexpr const wchar_t* OV_CAP_MENU_BTNUPDATE = L"最新の情報へ更新";
inline constexpr const wchar_t* OV_CAP_MENU_INSERT = L"追加(&N)";

// The row menu's own entries in position order, with the access keys of Japanese Windows.
inline constexpr const wchar_t* OV_CAP_ITEM_MENU[7] = {L"開く(&O)",
                                                       L"管理者として実行(&A)",
                                                       L"ファイルの場所を開く(&I)",
                                                       L"名前の変更(&M)",
                                                       L"削除(&D)",
                                                       L"その他のオプション(&X)",
                                                       L"プロパティ(&R)"};
// The shell's submenu where the shell gives no menu for the selected files.
inline constexpr const wchar_t* OV_CAP_SHELL_NONE = L"(なし)";

// The row menu's entry that moves the selected rows to another page.
inline constexpr const wchar_t* OV_CAP_ITEM_MOVETO = L"ページへ移動(&V)";
// The page list's commands below the pages: a new page, then for the page shown its name, its
// moves and its deletion.
inline constexpr const wchar_t* OV_CAP_PAGE_MENU[5] = {
    L"新しいページ(&N)", L"名前を付ける(&R)...", L"前へ移動(&B)", L"後ろへ移動(&F)", L"削除(&D)"};
// The dialog that names a page.
inline constexpr const wchar_t* OV_CAP_PAGE_NAME_TITLE = L"ページの名前";
inline constexpr const wchar_t* OV_CAP_PAGE_NAME_PROMPT =
    L"ページ %d の名前 (空にすると名前はなくなります):";
// The toolbar's hint of the next button's arrow: the page list.
inline constexpr const wchar_t* OV_CAP_PAGE_LIST = L"ページの一覧";
// The status bar's page panel with the page's name, and the caption after the product's name.
inline constexpr const wchar_t* OV_CAP_STATUS_PAGE_NAMED =
    L" %s/%s ページ  %s   %s 個のオブジェクト  ";
inline constexpr const wchar_t* OV_CAP_TITLE_NAMED = L"%s - %s";
inline constexpr size_t OV_STATUS_NAME_MOST = 12;

// The notification-area icon's menu: show, options, exit.
inline constexpr const wchar_t* OV_CAP_TRAY_MENU[3] = {L"表示(&S)", L"オプション(&O)...",
                                                       L"終了(&X)"};

// The line an empty list shows: an ordinary page, a folder page.
inline constexpr const wchar_t* OV_CAP_EMPTY_PAGE =
    L"ファイルやフォルダーをここにドロップするか、追加ボタンで追加します";
inline constexpr const wchar_t* OV_CAP_EMPTY_FOLDER = L"このフォルダーは空です";
// The list's line over a search that found nothing.
inline constexpr const wchar_t* OV_CAP_EMPTY_FOUND = L"一致する項目はありません";
inline constexpr const wchar_t* OV_CAP_EMPTY_SEARCHING = L"検索中…";
// The list's line over a folder page whose folder is being listed.
inline constexpr const wchar_t* OV_CAP_EMPTY_LISTING = L"読み込み中…";

// List columns in index order; the size column (1) is right-aligned.
inline constexpr const wchar_t* OV_CAP_COLUMNS[5] = {L"名前", L"サイズ", L"種類", L"更新日時",
                                                     L"場所"};
inline constexpr int OV_COLUMN_WIDTH = 50;
inline constexpr int OV_COLUMN_SIZE = 1;

// Status bar, panel 0: page, number of pages, number of items of the page.
inline constexpr const wchar_t* OV_CAP_STATUS_PAGE = L" %d/%d ページ   %d 個のオブジェクト  ";
// Status bar, panel 0 over the search's results: items found, pages they are on.
inline constexpr const wchar_t* OV_CAP_STATUS_FOUND = L" %d 件 (%d ページ)";
// The same while the index is still being read: the results grow as its pages come in.
inline constexpr const wchar_t* OV_CAP_STATUS_SEARCHING = L" 検索中… %d 件 (%d ページ)";
// The search field's cue.
inline constexpr const wchar_t* OV_CAP_SEARCH_CUE = L"検索";

// The options dialog.
inline constexpr const wchar_t* OV_CAP_OPTN_TITLE = L"設定";
inline constexpr const wchar_t* OV_CAP_OPTN_HOOK = L"Orvantaの常駐";
inline constexpr const wchar_t* OV_CAP_OPTN_SHORTCUTKEY = L"ショートカットキー";
inline constexpr const wchar_t* OV_CAP_OPTN_MOVEMOUSE = L"マウスの位置へウィンドウを移動する";
inline constexpr const wchar_t* OV_CAP_OPTN_HIDETASKBAR = L"タスクバーにアイコンを表示しない";
inline constexpr const wchar_t* OV_CAP_OPTN_TOOLBAR = L"ツールバーの表示位置";
inline constexpr const wchar_t* OV_CAP_OPTN_SET = L"設定";
inline constexpr const wchar_t* OV_CAP_OPTN_SIGNIN = L"サインイン時に起動する";
inline constexpr const wchar_t* OV_CAP_OPTN_SIGNIN_OTHER =
    L"別の場所の Orvanta が登録されています (チェックで置き換え)";
inline constexpr const wchar_t* OV_CAP_OPTN_TRAYICON = L"通知領域にアイコンを表示する";
inline constexpr const wchar_t* OV_CAP_OPTN_HOOKSEARCH = L"ホットキーで検索を開く";
inline constexpr const wchar_t* OV_CAP_OPTN_EXPORT = L"エクスポート...";
inline constexpr const wchar_t* OV_CAP_OPTN_IMPORT = L"インポート...";
inline constexpr const wchar_t* OV_CAP_OPTN_CANCEL = L"ｷｬﾝｾﾙ";
