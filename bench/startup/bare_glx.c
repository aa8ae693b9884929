/* The baseline: the least a program does to show one GL frame in an
 * 800 x 600 window, then keep presenting until it is closed or 200 frames
 * have gone by. */
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
  Display* dpy = XOpenDisplay(NULL);
  if (!dpy) {
    fprintf(stderr, "no display\n");
    return 1;
  }
  int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 24,
                 None};
  XVisualInfo* vi = glXChooseVisual(dpy, DefaultScreen(dpy), attrs);
  if (!vi) return 1;
  XSetWindowAttributes swa;
  swa.colormap = XCreateColormap(dpy, RootWindow(dpy, vi->screen), vi->visual, AllocNone);
  swa.border_pixel = 0;
  swa.event_mask = StructureNotifyMask;
  Window w = XCreateWindow(dpy, RootWindow(dpy, vi->screen), 0, 0, 800, 600, 0, vi->depth, InputOutput, vi->visual,
                           CWColormap | CWBorderPixel | CWEventMask, &swa);
  XStoreName(dpy, w, "bare glx");
  XMapWindow(dpy, w);
  XEvent ev;
  do XNextEvent(dpy, &ev);
  while (ev.type != MapNotify);
  GLXContext ctx = glXCreateContext(dpy, vi, NULL, True);
  glXMakeCurrent(dpy, w, ctx);
  for (int i = 0; i < 200; ++i) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glXSwapBuffers(dpy, w);
  }
  glXMakeCurrent(dpy, None, NULL);
  glXDestroyContext(dpy, ctx);
  XDestroyWindow(dpy, w);
  XCloseDisplay(dpy);
  return 0;
}
