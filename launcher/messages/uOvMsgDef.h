// Texts of the launcher's own message boxes, by code.
#pragma once

#include <cstddef>

inline constexpr const wchar_t* OV_MSG_ERROR_CAPTION = L"エラー";
inline constexpr const wchar_t* OV_MSG_CONFIRM_CAPTION = L"確認";

// Error codes 0 to 7; the codes without a text show an empty box.
inline constexpr int OV_ERR_NOT_ADDABLE = 0;
inline constexpr int OV_ERR_NOT_DELETABLE = 1;
inline constexpr int OV_ERR_NOT_RENAMABLE = 2;
inline constexpr const wchar_t* OV_MSG_ERRORS[8] = {L"このページにはファイルを追加できません",
                                                    L"このページのファイルは削除できません",
                                                    L"このページのファイルは変更できません",
                                                    L"",
                                                    L"",
                                                    L"",
                                                    L"",
                                                    L""};

inline constexpr int OV_ASK_PAGE_ADD = 0;
inline constexpr int OV_ASK_PAGE_DELETE = 1;
inline constexpr int OV_ASK_ITEMS_DELETE = 2;
inline constexpr const wchar_t* OV_MSG_CONFIRMS[3] = {
    L"ページを追加しますか", L"ページを削除しますか", L"選択したファイルを削除しますか"};

// A box about a file names it on its first lines; a blank line, then what happened. The path is
// broken into lines of this many characters at most.
inline constexpr const wchar_t* OV_MSG_ABOUT_FILE = L"%s\n\n%s";
inline constexpr size_t OV_MSG_PATH_WIDTH = 60;
// Dropped paths too long for the file functions, told with the first of them.
inline constexpr const wchar_t* OV_MSG_PATHS_TOO_LONG =
    L"パスが長すぎる (260 文字以上) ため、このファイルを含む %d 個のファイルを除外しました";
// A search result opened whose file is gone since the index read it, told with the first of them.
inline constexpr const wchar_t* OV_MSG_NOT_FOUND = L"ファイルが見つかりません";
inline constexpr const wchar_t* OV_MSG_NOT_FOUND_SOME =
    L"このファイルを含む %d 個のファイルが見つかりません";

// Pages and moves between them.
inline constexpr const wchar_t* OV_MSG_NOT_MOVABLE = L"このページのファイルは移動できません";
inline constexpr const wchar_t* OV_MSG_NOT_MOVABLE_ONTO = L"このページにはファイルを移動できません";
inline constexpr const wchar_t* OV_MSG_PAGE_NAME_TOO_LONG =
    L"ページの名前は %d 文字以内で入力してください";
inline constexpr const wchar_t* OV_MSG_PAGE_NAME_TAKEN = L"「%s」という名前のページは既にあります";

// The start at sign-in could not be set: the value is named.
inline constexpr const wchar_t* OV_MSG_SIGNIN_FAILED =
    L"サインイン時に起動する設定を書き込めませんでした\n%s";

// Backup and restore.
inline constexpr const wchar_t* OV_MSG_BACKUP_UNREADABLE = L"ファイルを読み込めません";
inline constexpr const wchar_t* OV_MSG_BACKUP_UNWRITABLE = L"ファイルに書き込めません";
inline constexpr const wchar_t* OV_MSG_BACKUP_TOO_LARGE =
    L"ファイルが大きすぎます (%d MB を超えています)";
inline constexpr const wchar_t* OV_MSG_BACKUP_TITLE = L"インポート";
inline constexpr const wchar_t* OV_MSG_BACKUP_SUMMARY =
    L"%s\n\nページ: %s (項目 %s)\n設定: %s\n\n置き換える: 今のページと設定がこのファイルのものに"
    L"なります\nページを追加: このファイルのページを今のページの後ろに追加します (設定はそのまま)";
inline constexpr const wchar_t* OV_MSG_BACKUP_REPLACE = L"置き換える";
inline constexpr const wchar_t* OV_MSG_BACKUP_APPEND = L"ページを追加";
inline constexpr const wchar_t* OV_MSG_BACKUP_CANCEL = L"キャンセル";
