#pragma once

#include "report/shown_texts.h"

// The viewer's texts about self-tests, all in one place. {1} is filled in.

// The drive list's menu.
inline constexpr char kMenuStartShort[] = "短時間の自己診断を開始";
inline constexpr char kMenuStartLong[] = "拡張自己診断を開始";
inline constexpr char kMenuAbort[] = "自己診断を中止";
inline constexpr char kMenuShowLog[] = "自己診断の記録";

// The log window: its title before the drive, the state above the list and
// the list's columns.
inline constexpr char kLogTitle[] = "自己診断の記録 - ";
inline constexpr char kStateRunning[] = "自己診断中";
inline constexpr char kStateRemaining[] = "自己診断中（残り {1}%）";
inline constexpr char kStateIdle[] = "実行中の自己診断はありません";
inline constexpr char kLogEmpty[] = "記録はありません";
inline constexpr const char* kLogColumns[] = {"番号", "種類", "結果", kSelfTestHoursTitle,
                                              kSelfTestLbaTitle};
inline constexpr char kHoursValue[] = "{1} 時間";

// What the user reads once quelmaro has answered; the verb is {1}.
inline constexpr char kStartedShort[] = "短時間の自己診断を開始しました。";
inline constexpr char kStartedLong[] = "拡張自己診断を開始しました。";
inline constexpr char kAborted[] = "自己診断を中止しました。";
inline constexpr char kVerbStart[] = "開始";
inline constexpr char kVerbAbort[] = "中止";
inline constexpr char kRefused[] = "このドライブでは今、自己診断を{1}できません。";
inline constexpr char kSmartctlFailed[] = "ドライブが自己診断の{1}を受け付けませんでした。";
inline constexpr char kNotAuthorized[] =
    "認証が取り消されたか、管理者の権限が得られなかったため、自己診断を{1}できませんでした。";
inline constexpr char kNoCollector[] = "quelmaro が見つからないため、自己診断を{1}できません。";
inline constexpr char kTimedOut[] = "quelmaro が時間内に終わらなかったため、打ち切りました。";
inline constexpr char kOddEnd[] = "quelmaro が異常終了しました（終了コード {1}）。";
