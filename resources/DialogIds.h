// The ids of the launcher's two dialogs and of their controls: shared by the
// dialog templates (tala.rc) and the code that drives them, and part of the
// launcher's interface (tests and tools find the controls by these ids).
// Plain macros, so the resource compiler reads them too.
#ifndef TALA_RESOURCES_DIALOG_IDS_H
#define TALA_RESOURCES_DIALOG_IDS_H

// The system's error icon (the number behind IDI_ERROR, which the resource
// compiler cannot take as a pointer).
#define IDI_SYSTEM_ERROR 32513

// "JRE Not Found": no runtime was found; the user may pick a runtime folder.
#define IDD_RUNTIME_NOT_FOUND 201
#define IDC_RUNTIME_FOLDER 201 // read-only edit showing the picked folder
#define IDC_BROWSE 202
#define IDC_NOT_FOUND_MESSAGE 203
#define IDC_NOT_FOUND_ICON 204
#define IDC_DOWNLOAD_LINK 205
#define IDC_BROWSE_HINT 206

// "Java Exception": main ended with an uncaught exception.
#define IDD_JAVA_EXCEPTION 231
#define IDC_STACK_TRACE 208
#define IDC_EXCEPTION_GROUP 209
#define IDC_EXCEPTION_ICON 204
#define IDC_EXCEPTION_INTRO 210
#define IDC_IGNORE_HINT 211
#define IDC_STOP_WARNING 212

#endif
