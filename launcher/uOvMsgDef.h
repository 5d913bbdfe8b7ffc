// Texts of the launcher's own message boxes, by code.
#pragma once

inline constexpr const char* OV_MSG_ERROR_CAPTION = "エラー";
inline constexpr const char* OV_MSG_CONFIRM_CAPTION = "確認";

// Error codes 0 to 7; the codes without a text show an empty box.
inline constexpr int OV_ERR_NOT_ADDABLE = 0;
inline constexpr int OV_ERR_NOT_DELETABLE = 1;
inline constexpr int OV_ERR_NOT_RENAMABLE = 2;
inline constexpr const char* OV_MSG_ERRORS[8] = {"このページにはファイルを追加できません",
                                                 "このページのファイルは削除できません",
                                                 "このページのファイルは変更できません",
                                                 "",
                                                 "",
                                                 "",
                                                 "",
                                                 ""};

inline constexpr int OV_ASK_PAGE_ADD = 0;
inline constexpr int OV_ASK_PAGE_DELETE = 1;
inline constexpr int OV_ASK_ITEMS_DELETE = 2;
inline constexpr const char* OV_MSG_CONFIRMS[3] = {"ページを追加しますか", "ページを削除しますか",
                                                   "選択したファイルを削除しますか"};
