#include "ui/DialogSeam.h"

#include "ui/Commands.h"

void MessageDialogs::RunDialog(int commandId) {
    const char* caption = "";
    switch (commandId) {
    case ID_HISTORY:
        caption = "運動記録";
        break;
    case ID_DEVICE_SETTINGS:
        caption = "デバイス設定";
        break;
    case ID_LOG_SETTINGS:
        caption = "ログ設定";
        break;
    case ID_CHECKPOINT_SETTINGS:
        caption = "チェックポイント設定";
        break;
    case ID_CALC_SETTINGS:
        caption = "計算設定";
        break;
    case ID_MAP_SETTINGS:
        caption = "地図設定";
        break;
    default:
        break;
    }
    m_messages.Show("この画面はまだ使えません。(not yet available)", caption, platform::MessageButtons::Ok,
                    platform::MessageIcon::Information);
}

void MessageDialogs::ShowResult(const ResultFigures& f) {
    const std::string text = "タイトル：" + f.m_strTitle + "\n距離 (m)：" + f.m_strDistanceText + "\n時間：" +
                             f.m_strTimeText + "\n平均速度 (km/h)：" + f.m_strAvgSpeedText +
                             "\nカロリー (kcal)：" + f.m_strKcalText;
    m_messages.Show(text, "おつかれさまでした", platform::MessageButtons::Ok,
                    platform::MessageIcon::Information);
}
