// Fixed texts of the main window and the options dialog.
#pragma once

inline constexpr const char* OV_APP_TITLE = "Orvanta";

// Toolbar buttons, left to right: caption and hint are the same text.
inline constexpr const char* OV_CAP_BUTTONS[6] = {"前へ", "次へ", "表示", "追加", "削除", "設定"};

// View-style menu, view entries in position order, then the refresh entry.
inline constexpr const char* OV_CAP_MENU_VIEWS[4] = {"大きいアイコン", "小さいアイコン", "一覧",
                                                     "詳細"};
inline constexpr const char* OV_CAP_MENU_BTNUPDATE = "最新の情報へ更新";

// List columns in index order; the size column (1) is right-aligned.
inline constexpr const char* OV_CAP_COLUMNS[5] = {"名前", "サイズ", "種類", "更新日時", "場所"};
inline constexpr int OV_COLUMN_WIDTH = 50;
inline constexpr int OV_COLUMN_SIZE = 1;

// Status bar, panel 0: page, number of pages, number of items of the page.
inline constexpr const char* OV_CAP_STATUS_PAGE = " %d/%d ページ   %d 個のオブジェクト  ";

// The options dialog.
inline constexpr const char* OV_CAP_OPTN_TITLE = "設定";
inline constexpr const char* OV_CAP_OPTN_HOOK = "Orvantaの常駐";
inline constexpr const char* OV_CAP_OPTN_SHORTCUTKEY = "ショートカットキー";
inline constexpr const char* OV_CAP_OPTN_MOVEMOUSE = "マウスの位置へウィンドウを移動する";
inline constexpr const char* OV_CAP_OPTN_HIDETASKBAR = "タスクバーにアイコンを表示しない";
inline constexpr const char* OV_CAP_OPTN_TOOLBAR = "ツールバーの表示位置";
inline constexpr const char* OV_CAP_OPTN_SET = "設定";
inline constexpr const char* OV_CAP_OPTN_CANCEL = "ｷｬﾝｾﾙ";
