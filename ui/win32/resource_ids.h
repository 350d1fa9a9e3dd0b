/* The Windows panel's resource and control ids, as plain #defines so that the resource compiler
   reads them too (app/win32/korvanel.rc). The control ids are the panel's own (ui/panel/panel_ids.h,
   results/value_texts.h); panel_window.cpp checks at compile time that both agree. */
#ifndef KORVANEL_UI_WIN32_RESOURCE_IDS_H
#define KORVANEL_UI_WIN32_RESOURCE_IDS_H

#define IDD_PANEL 103
#define IDS_WINDOW_CLASS 103
#define IDI_PROGRAM 107
#define IDI_DONATE 150

/* Separators and the placeholder that the footer toolbar replaces. */
#define IDC_SEPARATOR_TOP 4034
#define IDC_SEPARATOR_MIDDLE 4032
#define IDC_SEPARATOR_BOTTOM 4033
#define IDC_FOOTER_PLACEHOLDER 1013
#define IDC_PROGRAM_ICON 5

#define IDC_SUMMARY 32806
#define IDC_DRIVE_LIST 1031
#define IDC_SIZE_LIST 1033
#define IDC_READ_FRAME 32800
#define IDC_WRITE_FRAME 32799
#define IDC_RATING_FRAME 32805
#define IDC_FINISH_TIME 42808
#define IDC_SEQUENTIAL 1028
#define IDC_RANDOM_4K 1029
#define IDC_RANDOM_512K 1034
#define IDC_QUEUED_4K 1030
#define IDC_ACCESS_TIME 1032
#define IDC_START 6
#define IDC_PROGRAM_NAME 32804
#define IDC_STATUS 1019

#define IDC_SEQ_READ 32791
#define IDC_RND4_READ 32792
#define IDC_RND512_READ 32807
#define IDC_QD_READ 32793
#define IDC_ACCESS_READ 32794
#define IDC_SEQ_WRITE 32795
#define IDC_RND4_WRITE 32796
#define IDC_RND512_WRITE 32808
#define IDC_QD_WRITE 32797
#define IDC_ACCESS_WRITE 32798
#define IDC_READ_RATING 32801
#define IDC_TOTAL_RATING 32803
#define IDC_WRITE_RATING 32802

#endif
