#include "host/plugin_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "host/hook_call.h"

namespace romhost {

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& error) {
  std::unique_ptr<PluginLibrary> lib(new PluginLibrary);
  lib->path_ = path;
  lib->handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib->handle_) {
    const char* why = dlerror();
    error = "Cannot load the plug-in " + path + ": " + (why ? why : "unknown error");
    return nullptr;
  }
  auto resolve = [&](const char* name) -> void* {
    dlerror();
    void* sym = dlsym(lib->handle_, name);
    if (!sym && error.empty()) error = "The plug-in " + path + " lacks the entry point " + name;
    return sym;
  };
  lib->version_ = reinterpret_cast<VersionFn>(resolve("qivdll_version"));
  lib->identity_ = reinterpret_cast<IdentityFn>(resolve("qivdll_identity"));
  lib->init_ = reinterpret_cast<InitFn>(resolve("qivdll_init"));
  lib->unload_ = reinterpret_cast<UnloadFn>(resolve("qivdll_unload"));
  if (!error.empty()) return nullptr;
  return lib;
}

PluginLibrary::~PluginLibrary() {
  if (handle_) dlclose(handle_);
}

int PluginLibrary::version(const char* kind, int& major, int& minor) const {
  int result = -1;
  std::string error;
  if (!callGuarded([&] { result = version_(kind, &major, &minor); }, error)) return -1;
  return result;
}

std::string PluginLibrary::identity() const {
  const char* id = nullptr;
  std::string error;
  if (!callGuarded([&] { id = identity_(); }, error) || !id) return {};
  return id;
}

int PluginLibrary::init(QivPipe* pipe, QivFactoryLib* lib) const {
  int result = -1;
  std::string error;
  if (!callGuarded([&] { result = init_(pipe, lib); }, error)) return -1;
  return result;
}

int PluginLibrary::unload(QivPipe* pipe, QivFactoryLib* lib) const {
  int result = -1;
  std::string error;
  if (!callGuarded([&] { result = unload_(pipe, lib); }, error)) return -1;
  return result;
}

std::string pluginPath(const std::string& given) {
  if (!given.empty()) return given;
  if (const char* env = std::getenv("ROMHOST_PLUGIN"); env && *env) return env;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "libromlib.so";  // leave it to the loader's search path
  return (exe.parent_path() / ".." / "lib" / "libromlib.so").lexically_normal().string();
}

std::unique_ptr<PluginSession> PluginSession::start(const std::string& path, bool echoPipe, StepResult& result) {
  std::unique_ptr<PluginSession> s(new PluginSession);
  std::string error;
  s->lib_ = PluginLibrary::open(path, error);
  if (!s->lib_) {
    result = StepResult::failure(HostStatus::kPluginError, error);
    return nullptr;
  }
  int major = 0, minor = 0;
  if (s->lib_->version("QIVBLKFACTORY", major, minor) != 0 || major != kFactoryInterfaceMajor) {
    result = StepResult::failure(HostStatus::kPluginError,
                                 "The plug-in " + path + " speaks QIVBLKFACTORY " + std::to_string(major) + "." +
                                     std::to_string(minor) + "; the host needs major version " +
                                     std::to_string(kFactoryInterfaceMajor));
    return nullptr;
  }
  // The factories print to the history device; show it on stderr.
  if (!rtHisDev) {
    s->ownHistory_ = rtdev_create(true);
    rtHisDev = s->ownHistory_;
  } else {
    rtdev_set_echo(rtHisDev, true);
  }
  s->pipe_ = rtdev_create(echoPipe);
  const int st = s->lib_->init(s->pipe_, &s->factories_);
  if (st != 0) {
    // Factories a failed init left behind are still removed by unload.
    s->initialised_ = !s->factories_.factories().empty();
    result = StepResult::failure(HostStatus::kPluginError,
                                 "qivdll_init of " + path + " returned " + std::to_string(st));
    return nullptr;  // the destructor releases what was made
  }
  s->initialised_ = true;
  result = StepResult::success();
  return s;
}

PluginSession::~PluginSession() {
  if (initialised_) lib_->unload(pipe_, &factories_);
  if (pipe_) rtdev_destroy(pipe_);
  if (ownHistory_) {
    if (rtHisDev == ownHistory_) rtHisDev = nullptr;
    rtdev_destroy(ownHistory_);
  }
  lib_.reset();  // dlclose last: nothing of the plug-in is left
}

std::vector<std::string> PluginSession::factoryNames() const {
  std::vector<std::string> names;
  for (QivBlkFactory* f : factories_.factories()) {
    const char* n = nullptr;
    std::string error;
    if (f && callGuarded([&] { n = f->type_name(); }, error) && n) names.emplace_back(n);
  }
  return names;
}

}  // namespace romhost
