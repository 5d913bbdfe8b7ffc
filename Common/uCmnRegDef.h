// Texts of the registry access unit uCmnReg.
#pragma once

// "%s" is the key path as the caller passed it.
inline constexpr wchar_t CmnRegErrKeyCreate[] = L"キー %s の作成に失敗しました";
inline constexpr wchar_t CmnRegErrKeyDelete[] = L"キー %s の削除に失敗しました";
// "%s" is the value name.
inline constexpr wchar_t CmnRegErrValueSet[] = L"'%s' の設定に失敗しました";
inline constexpr wchar_t CmnRegErrValueGet[] = L"'%s' の取得に失敗しました";
inline constexpr wchar_t CmnRegErrValueType[] = L"'%s' のデータ型が不正です";
