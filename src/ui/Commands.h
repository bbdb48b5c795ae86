#pragma once

// Command identifiers of the menu bar.
enum CommandId : int {
    ID_OK = 1, // the window's own OK: exit
    ID_MAP_5KM = 32771,
    ID_MAP_10KM = 32772,
    ID_MAP_50KM = 32773,
    ID_MAP_100KM = 32774,
    ID_MAP_250KM = 32775,
    ID_ZOOM_IN = 32776,
    ID_ZOOM_NORMAL = 32777,
    ID_ZOOM_OUT = 32778,
    ID_PITCH_SOUND = 32779,
    ID_KEEP_AWAKE = 32780,
    ID_HISTORY = 32781,
    ID_DEVICE_SETTINGS = 32782,
    ID_LOG_SETTINGS = 32783,
    ID_CALC_SETTINGS = 32784,
    ID_ABOUT = 32785,
    ID_EXIT = 32786,
    ID_CENTER_ON_START = 32811,
    ID_MAP_SETTINGS = 32813,
    ID_GPS_INIT = 32815,
    ID_HELP = 32818,
    ID_CHECKPOINT_SETTINGS = 32820,
};

// Picture resources of the buttons and the GPS status.
enum PictureId : int {
    IDB_BLUETOOTH_OFF = 131,
    IDB_BLUETOOTH_ON = 132,
    IDB_GPS_NOT_READY = 133,
    IDB_GPS_READY = 134,
    IDB_RESTING = 135,
    IDB_REST_DISABLED = 136,
    IDB_REST_ENABLED = 137,
    IDB_STANDING = 138,
    IDB_RUNNING = 139,
    IDB_WALKING = 140,
    IDB_IDLE = 141,
};

// How a menu item shows: whether it can be chosen and whether it carries a check mark.
struct CommandUpdate {
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const CommandUpdate&, const CommandUpdate&) = default;
};
