<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>Ambulo</name>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>はい</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>いいえ</source>
        <translation>No</translation>
    </message>
    <message>
        <source>GPS の初期化に失敗しました!</source>
        <translation>The GPS could not be started!</translation>
    </message>
    <message>
        <source>Ambulo は既に起動しています。</source>
        <translation>Ambulo is already running.</translation>
    </message>
    <message>
        <source>NMEA ログ再生</source>
        <translation>NMEA log replay</translation>
    </message>
    <message>
        <source>自動 (gpsd・GeoClue を探しています)</source>
        <translation>Automatic (looking for gpsd, GeoClue)</translation>
    </message>
    <message>
        <source>自動: </source>
        <translation>Automatic: </translation>
    </message>
    <message>
        <source>月毎の</source>
        <translation>Monthly </translation>
    </message>
    <message>
        <source>１週間毎の</source>
        <translation>Weekly </translation>
    </message>
    <message>
        <source>日毎の</source>
        <translation>Daily </translation>
    </message>
    <message>
        <source>%d/%d/%d の</source>
        <translation>%d/%d/%d </translation>
    </message>
    <message>
        <source>距離(ｍ)</source>
        <translation>Distance (m)</translation>
    </message>
    <message>
        <source>時間(時:分:秒)</source>
        <translation>Time (h:m:s)</translation>
    </message>
    <message>
        <source>消費ｶﾛﾘｰ(kcal)</source>
        <translation>Calories (kcal)</translation>
    </message>
    <message>
        <source>%d月</source>
        <translation>%d</translation>
    </message>
    <message>
        <source>本日は運動していません．．．</source>
        <translation>No exercise today...</translation>
    </message>
    <message>
        <source>本日は運動していません</source>
        <translation>No exercise today</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>距離 (m)</source>
        <translation>Distance (m)</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>平均速度 (km/h)</source>
        <translation>Avg speed (km/h)</translation>
    </message>
    <message>
        <source>カロリー (kcal)</source>
        <translation>Calories (kcal)</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>設定を保存できませんでした。</source>
        <translation>The settings could not be saved.</translation>
    </message>
    <message>
        <source>速度 (km/h)</source>
        <translation>Speed (km/h)</translation>
    </message>
    <message>
        <source>%sを保存できませんでした。
%s</source>
        <translation>Could not save %s.
%s</translation>
    </message>
    <message>
        <source>GPSの準備ができてません。</source>
        <translation>The GPS is not ready.</translation>
    </message>
    <message>
        <source>ログファイルを作成できませんでした(ErrCode:%d)</source>
        <translation>Could not create the log file (ErrCode:%d)</translation>
    </message>
    <message>
        <source>休憩</source>
        <translation>Rest</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>スタート</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>前回の記録を読み込めませんでした。</source>
        <translation>The last workout could not be read.</translation>
    </message>
    <message>
        <source>%s に残しました。</source>
        <translation>It was kept as %s.</translation>
    </message>
    <message>
        <source>前回の記録は正常に終了していません。保存しますか？</source>
        <translation>The last workout did not end properly. Save it?</translation>
    </message>
    <message>
        <source>倍：x %d </source>
        <translation>Zoom x %d </translation>
    </message>
    <message>
        <source>倍：x 1/%d </source>
        <translation>Zoom x 1/%d </translation>
    </message>
    <message>
        <source>ambl_readme.htm</source>
        <translation>ambl_readme.htm#en</translation>
    </message>
    <message>
        <source>計測中ですが終了しますか？</source>
        <translation>Still measuring. Exit anyway?</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Bluetooth をオフにしますか？</source>
        <translation>Turn Bluetooth off?</translation>
    </message>
    <message>
        <source>Bluetooth OFF 確認</source>
        <translation>Bluetooth off</translation>
    </message>
    <message>
        <source>音のファイルを %s にコピーできませんでした。</source>
        <translation>Could not copy the sound file to %s.</translation>
    </message>
</context>
<context>
    <name>CHistoryDlg</name>
    <message>
        <source>運動記録</source>
        <translation>Workout history</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>メニュー</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>日毎集計</source>
        <translation>By day</translation>
    </message>
    <message>
        <source>週毎集計</source>
        <translation>By week</translation>
    </message>
    <message>
        <source>月毎集計</source>
        <translation>By month</translation>
    </message>
    <message>
        <source>記録毎</source>
        <translation>By workout</translation>
    </message>
    <message>
        <source>距離グラフ</source>
        <translation>Distance graph</translation>
    </message>
    <message>
        <source>時間グラフ</source>
        <translation>Time graph</translation>
    </message>
    <message>
        <source>カロリーグラフ</source>
        <translation>Calorie graph</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>距離</source>
        <translation>Dist.</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>カロリー</source>
        <translation>kcal</translation>
    </message>
    <message>
        <source>データが存在しません</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>速度グラフ</source>
        <translation>Speed graph</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>運動記録表示</source>
        <translation>Workout history</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>デバイス設定</source>
        <translation>Device settings</translation>
    </message>
    <message>
        <source>ログ設定</source>
        <translation>Log settings</translation>
    </message>
    <message>
        <source>チェックポイント設定</source>
        <translation>Checkpoint settings</translation>
    </message>
    <message>
        <source>計算設定</source>
        <translation>Calculation settings</translation>
    </message>
    <message>
        <source>地図設定</source>
        <translation>Map settings</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>メニュー</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>地図</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>半径5Km</source>
        <translation>Radius 5 km</translation>
    </message>
    <message>
        <source>半径10Km</source>
        <translation>Radius 10 km</translation>
    </message>
    <message>
        <source>半径50Km</source>
        <translation>Radius 50 km</translation>
    </message>
    <message>
        <source>半径100km</source>
        <translation>Radius 100 km</translation>
    </message>
    <message>
        <source>半径250Km</source>
        <translation>Radius 250 km</translation>
    </message>
    <message>
        <source>表示倍率</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>普通</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>スタート地点を中心</source>
        <translation>Center on start</translation>
    </message>
    <message>
        <source>ピッチ音</source>
        <translation>Pace beep</translation>
    </message>
    <message>
        <source>非計測中もパワーオフ防止</source>
        <translation>Keep awake when idle</translation>
    </message>
    <message>
        <source>GPS初期化</source>
        <translation>Restart GPS</translation>
    </message>
</context>
<context>
    <name>CMyAmbuloView</name>
    <message>
        <source>休憩</source>
        <translation>Rest</translation>
    </message>
</context>
<context>
    <name>COptionCalcDlg</name>
    <message>
        <source>計算設定</source>
        <translation>Calculation settings</translation>
    </message>
    <message>
        <source>体重(kg) ：</source>
        <translation>Weight(kg):</translation>
    </message>
    <message>
        <source>有効最小距離(m)：</source>
        <translation>Min. step (m):</translation>
    </message>
    <message>
        <source>距離計算時に高度を一定と仮定する</source>
        <translation>Ignore altitude in distances</translation>
    </message>
</context>
<context>
    <name>COptionDeviceDlg</name>
    <message>
        <source>デバイス設定</source>
        <translation>Device settings</translation>
    </message>
    <message>
        <source>秒毎に鳴らす</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>メートル毎に鳴らす</source>
        <translation>meters</translation>
    </message>
    <message>
        <source>音：</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>ピッチ音を鳴らす</source>
        <translation>Pace beep every</translation>
    </message>
    <message>
        <source>Bluetooth アイコンを表示する</source>
        <translation>Show Bluetooth icon</translation>
    </message>
    <message>
        <source>GPSのフラグをチェックしない</source>
        <translation>Ignore the GPS fix flag</translation>
    </message>
</context>
<context>
    <name>COptionIntervalDlg</name>
    <message>
        <source>チェックポイント設定</source>
        <translation>Checkpoint settings</translation>
    </message>
    <message>
        <source>秒毎</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>メートル毎</source>
        <translation>meters</translation>
    </message>
    <message>
        <source>以下の間隔で自動的に記録する</source>
        <translation>Record automatically every</translation>
    </message>
    <message>
        <source>手動記録時に音を鳴らす</source>
        <translation>Beep on manual record</translation>
    </message>
    <message>
        <source>音：</source>
        <translation>File:</translation>
    </message>
</context>
<context>
    <name>COptionLogDlg</name>
    <message>
        <source>ログ設定</source>
        <translation>Log settings</translation>
    </message>
    <message>
        <source>ログ保存フォルダ：</source>
        <translation>Log folder:</translation>
    </message>
    <message>
        <source>運動記録を保存する</source>
        <translation>Save workouts</translation>
    </message>
    <message>
        <source>ルートログ(*.KML)を保存する</source>
        <translation>Save route (*.KML)</translation>
    </message>
    <message>
        <source>ＧＰＳのログを保存する</source>
        <translation>Save GPS log</translation>
    </message>
</context>
<context>
    <name>COptionMapDlg</name>
    <message>
        <source>地図設定</source>
        <translation>Map settings</translation>
    </message>
    <message>
        <source>サイズ：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>スタート地点を中心とした地図</source>
        <translation>Map centered on start</translation>
    </message>
    <message>
        <source>半径  5 km</source>
        <translation>Radius  5 km</translation>
    </message>
    <message>
        <source>半径 10 km</source>
        <translation>Radius 10 km</translation>
    </message>
    <message>
        <source>半径 50 km</source>
        <translation>Radius 50 km</translation>
    </message>
    <message>
        <source>半径100 km</source>
        <translation>Radius100 km</translation>
    </message>
    <message>
        <source>半径250 km</source>
        <translation>Radius250 km</translation>
    </message>
</context>
<context>
    <name>CResultDlg</name>
    <message>
        <source>おつかれさまでした</source>
        <translation>Well done!</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Google Mapで見る</source>
        <translation>Google Maps</translation>
    </message>
    <message>
        <source>GPXファイルを開く</source>
        <translation>Open GPX</translation>
    </message>
</context>
<context>
    <name>CSelectFile</name>
    <message>
        <source>フォルダ選択</source>
        <translation>Choose folder</translation>
    </message>
    <message>
        <source>フォルダ名：</source>
        <translation>Folder:</translation>
    </message>
</context>
<context>
    <name>CSettingsDialog</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CVersionInfoDlg</name>
    <message>
        <source>バージョン情報 Ambulo</source>
        <translation>About Ambulo</translation>
    </message>
</context>
<context>
    <name>QtWaveFileChooser</name>
    <message>
        <source>ピッチ音のファイルを開く...</source>
        <translation>Open pace beep file...</translation>
    </message>
    <message>
        <source>チェック音のファイルを開く...</source>
        <translation>Open checkpoint sound file...</translation>
    </message>
    <message>
        <source>wav ファイル (*.wav)</source>
        <translation>WAV files (*.wav)</translation>
    </message>
</context>
</TS>
