// The error and confirmation boxes as a user sees and answers them.
#include "uOvInput.h"
#include "uOvMsg.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorBox, ShowsTheTextOfItsCodeUnderTheCaptionError) {
    TBoxSeen box = AnswerBox([] { ErrorBox(0); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"エラー");
    EXPECT_EQ(box.text, L"このページにはファイルを追加できません");

    EXPECT_EQ(AnswerBox([] { ErrorBox(1); }, IDOK).text, L"このページのファイルは削除できません");
    EXPECT_EQ(AnswerBox([] { ErrorBox(2); }, 0).text, L"このページのファイルは変更できません")
        << L"Escape closes it too";
}

TEST(ErrorBox, CodesWithoutATextShowAnEmptyBox) {
    for (int code : {3, 5, 7, 8, -1}) {
        TBoxSeen box = AnswerBox([code] { ErrorBox(code); }, IDOK);
        ASSERT_TRUE(box.seen) << code;
        EXPECT_EQ(box.text, L"") << code;
    }
}

TEST(ConfirmBox, OnlyOkAnswersYes) {
    bool answer = false;
    TBoxSeen box = AnswerBox([&] { answer = ConfirmBox(1); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"確認");
    EXPECT_EQ(box.text, L"ページを削除しますか");
    EXPECT_TRUE(answer);

    answer = true;
    AnswerBox([&] { answer = ConfirmBox(2); }, IDCANCEL);
    EXPECT_FALSE(answer) << L"Cancel";
    answer = true;
    box = AnswerBox([&] { answer = ConfirmBox(2); }, 0);
    EXPECT_EQ(box.text, L"選択したファイルを削除しますか");
    EXPECT_FALSE(answer) << L"Escape";
    answer = true;
    AnswerBox([&] { answer = ConfirmBox(1); }, -1);
    EXPECT_FALSE(answer) << L"the close box";
}

TEST(ConfirmBox, OtherCodesAskAnEmptyQuestion) {
    EXPECT_EQ(ConfirmText(0), L"ページを追加しますか");
    TBoxSeen box = AnswerBox([] { ConfirmBox(3); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, L"");
}

// A question that ends without the user's answer (destroyed with its owner by a sign-out or a
// close of the program, or by anything else) ends as the answer that changes nothing: never as
// its first button.
TEST(Questions, EveryQuestionEndedFromOutsideGivesItsSafeAnswer) {
    auto ownerMake = [] {
        return ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    };
    HWND owner = ownerMake();
    int chosen = 0;
    AnswerDialog(
        [&] {
            chosen = ChoiceAskRun(owner, L"t", L"which", {L"置き換える", L"キャンセル"}, 1);
        },
        [&](HWND) { ::DestroyWindow(owner); });
    EXPECT_EQ(chosen, -1) << "the choice, its owner destroyed";

    owner = ownerMake();
    TTextAsk ask;
    ask.text = L"typed";
    bool accepted = true;
    AnswerDialog([&] { accepted = TextAskRun(owner, ask); }, [&](HWND) { ::DestroyWindow(owner); });
    EXPECT_FALSE(accepted) << "the name dialog, its owner destroyed";

    owner = ownerMake();
    AnswerDialog(
        [&] {
            chosen = ChoiceAskRun(owner, L"t", L"which", {L"a", L"b"}, 0);
        },
        [](HWND dialog) { ::DestroyWindow(dialog); });
    EXPECT_EQ(chosen, -1) << "the choice itself destroyed";
    ::DestroyWindow(owner);

    bool yes = true;
    AnswerDialog([&] { yes = ConfirmBox(2); }, [](HWND box) { ::DestroyWindow(box); });
    EXPECT_FALSE(yes) << "the question box destroyed";
}

} // namespace
