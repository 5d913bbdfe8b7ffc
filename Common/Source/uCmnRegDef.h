// Texts of the registry access unit uCmnReg.
#pragma once

// "%s" is the key path as the caller passed it.
inline constexpr char CmnRegErrKeyCreate[] = "キー %s の作成に失敗しました";
inline constexpr char CmnRegErrKeyDelete[] = "キー %s の削除に失敗しました";
// "%s" is the value name.
inline constexpr char CmnRegErrValueSet[] = "'%s' の設定に失敗しました";
inline constexpr char CmnRegErrValueGet[] = "'%s' の取得に失敗しました";
inline constexpr char CmnRegErrValueType[] = "'%s' のデータ型が不正です";
