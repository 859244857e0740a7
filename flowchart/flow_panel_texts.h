// String-table ids of the flowchart panels' fixed texts
// (resources/strings/flowpanels.txt).
#pragma once

enum : unsigned {
    IDS_PANEL_OUTPUT = 24520,
    IDS_PANEL_MONITORING = 24521,
    IDS_PANEL_RUNNING = 24522,
    IDS_PANEL_STOPPED = 24523,
    IDS_PANEL_MORE = 24524,
    IDS_PANEL_SUBMITS_TO = 24525,
    IDS_PANEL_MONITOR = 24526,
    IDS_PANEL_BASIC_C1 = 24527,
    IDS_PANEL_BASIC_C2 = 24528,
    IDS_PANEL_SHOWING = 24529,
    IDS_PANEL_LANGUAGE = 24530,
    IDS_PANEL_DIALECTS = 24531,
};
