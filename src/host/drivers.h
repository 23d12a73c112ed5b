// The seam between the program's start-up wiring and the parts that draw or configure.
// Each group is defined by the library that owns the form, and the program links that
// library when its target exists; otherwise the program links the "absent" definition
// in this folder, so the host never changes when a driver arrives.
//
//   target                      defines
//   vesperine_directdraw        StartDirectDrawScene, FinishDirectDrawScene,
//                               SetDirectDrawSceneAwake                     (TFDxBall)
//   vesperine_gdiplus_scene     StartGdiplusScene, FinishGdiplusScene,
//                               SetGdiplusSceneAwake                        (TFMain)
//   vesperine_settings_dialog   RunSettingsDialog                            (TFBallPara)
//
// The target must define its functions as soon as it exists (with the signatures
// below), or the program does not link.
#pragma once

#include <windows.h>

// Run mode, DirectDraw driver: create TFDxBall with no owner, make it a child of the
// host window and show it. Called inside the host window's creation; may throw, which
// fails the creation and ends the program with the error's message.
void StartDirectDrawScene(HWND hostWindow);
// Disable the form's Timer1, stop its wind, close the form. Called from the host
// window's destruction; the form's window still exists then.
void FinishDirectDrawScene();
// The display went off (false) or came back (true): every timer that makes frames, wind
// or sound holds, then each goes on where it stopped.
void SetDirectDrawSceneAwake(bool awake);

// Run mode, GDI+ driver: create TFMain with no owner as a child of the host window and
// show it. GDI+ and its pictures are running already.
void StartGdiplusScene(HWND hostWindow);
// Free TFMain and its bubble windows. Called before GDI+ shuts down, so that no GDI+
// object of the scene is disposed after GdiplusShutdown.
void FinishGdiplusScene();
// As SetDirectDrawSceneAwake, for the scene form, its bubble windows and its wind.
void SetGdiplusSceneAwake(bool awake);

// Configure mode: create TFBallPara as the main form and run it until it is closed.
// The settings are loaded and the framework initialised already.
void RunSettingsDialog();
