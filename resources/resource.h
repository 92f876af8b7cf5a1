#pragma once
// Resource ids shared by the resource script and the code that reads it.
#define IDR_MAINFRAME 128
#define IDR_XML_LANGPACK 130
#define IDR_PICTURE_1 131
#define IDR_PICTURE_2 132
// The framework's id for the application title string.
#define IDS_APP_TITLE 0xE000
