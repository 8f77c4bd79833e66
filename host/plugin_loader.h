// Loads the plug-in as the framework does: dlopen, then the four C entry
// points by name. The plug-in links the same shared framework and runner
// libraries as the host, so the history device, type information and the
// runner's cache exist once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_status.h"
#include "platform/factory.h"
#include "platform/rtdev.h"

namespace romhost {

class PluginLibrary {
 public:
  using VersionFn = int (*)(const char*, int*, int*);
  using IdentityFn = const char* (*)();
  using InitFn = int (*)(QivPipe*, QivFactoryLib*);
  using UnloadFn = int (*)(QivPipe*, QivFactoryLib*);

  // Null with a message in error when the file cannot be loaded or lacks an
  // entry point.
  static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string& error);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // The entry points, guarded: an exception counts as a failure (-1, null).
  int version(const char* kind, int& major, int& minor) const;
  std::string identity() const;
  int init(QivPipe* pipe, QivFactoryLib* lib) const;
  int unload(QivPipe* pipe, QivFactoryLib* lib) const;
  const std::string& path() const { return path_; }

 private:
  PluginLibrary() = default;
  void* handle_ = nullptr;
  std::string path_;
  VersionFn version_ = nullptr;
  IdentityFn identity_ = nullptr;
  InitFn init_ = nullptr;
  UnloadFn unload_ = nullptr;
};

// The plug-in to load: the given path, else the environment variable
// ROMHOST_PLUGIN, else libromlib.so in the lib folder beside the program's folder.
std::string pluginPath(const std::string& given);

// A loaded and initialised plug-in: its output pipe, the factory library the
// factories are registered in, and the history device. Unloads in reverse.
class PluginSession {
 public:
  // echoPipe: show the plug-in's pipe lines on stderr. The history device is
  // always shown.
  static std::unique_ptr<PluginSession> start(const std::string& path, bool echoPipe, StepResult& result);
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  const PluginLibrary& library() const { return *lib_; }
  QivFactoryLib& factories() { return factories_; }
  std::vector<std::string> factoryNames() const;
  QivPipe* pipe() const { return pipe_; }

 private:
  PluginSession() = default;
  std::unique_ptr<PluginLibrary> lib_;
  QivFactoryLib factories_;
  QivPipe* pipe_ = nullptr;
  rtdev* ownHistory_ = nullptr;  // set when the host created the history device
  bool initialised_ = false;
};

// The interface the host speaks: "QIVBLKFACTORY" major 11.
constexpr int kFactoryInterfaceMajor = 11;

}  // namespace romhost
