// The files romhost --save and romnet generate write: under a file-size limit
// the write fails and is reported, and a target that is not a regular file (or
// is the case file) is refused and kept, while a link to one is written through.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "tests/support/devices.h"
#include "tests/support/networks.h"
#include "tests/support/romhost_run.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string kRomhost = ROM_BINARY_DIR "/bin/romhost";
const std::string kRomnet = ROM_BINARY_DIR "/bin/romnet";
const std::string kTestPlugin = ROM_BINARY_DIR "/lib/libromhost_testplugin.so";
const std::string kSampleTable = romtest::kSampleNetworks + "/SAMPLE/SAMPLE.table";

using romtest::ProgramRun;

// Runs program in a child whose files may grow to fileLimit bytes (no limit
// when 0), without the plug-in and registry the environment may name. Its
// output comes through pipes, which the limit does not cover, or goes to the
// file outFile when one is named.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args, rlim_t fileLimit = 0,
                      const fs::path& outFile = {}) {
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv, envp;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  for (char** e = environ; *e != nullptr; ++e)
    if (std::strncmp(*e, "ROMHOST_PLUGIN=", 15) != 0 && std::strncmp(*e, "PELMO_REGISTRY=", 15) != 0)
      envp.push_back(*e);
  envp.push_back(nullptr);

  ProgramRun run;
  int out[2] = {-1, -1}, err[2] = {-1, -1};
  const pid_t pid = ::pipe(out) == 0 && ::pipe(err) == 0 ? ::fork() : -1;
  if (pid < 0) {
    for (const int fd : {out[0], out[1], err[0], err[1]})
      if (fd >= 0) ::close(fd);
    return run;
  }
  if (pid == 0) {
    const rlimit limit{fileLimit, fileLimit};
    const int outFd = outFile.empty() ? out[1] : ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if ((fileLimit == 0 || ::setrlimit(RLIMIT_FSIZE, &limit) == 0) && outFd >= 0 && ::dup2(outFd, 1) == 1 &&
        ::dup2(err[1], 2) == 2) {
      ::close(out[1]);
      ::close(out[0]);
      ::close(err[0]);
      ::execve(program.c_str(), argv.data(), envp.data());
    }
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* text[2] = {&run.out, &run.err};
  for (int open = 2; open > 0;) {
    if (::poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      const ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
      if (got > 0) {
        text[i]->append(buf, static_cast<std::size_t>(got));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (WIFSIGNALED(status)) run.err += "(ended by signal " + std::to_string(WTERMSIG(status)) + ")\n";
  return run;
}

std::string contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
  return out;
}

class ProgramWrites : public ::testing::Test {
 protected:
  // A solve of the test block that saves to target, its JSON report on stdout.
  ProgramRun solveAndSave(const fs::path& target, rlim_t fileLimit = 0) const {
    return runProgram(kRomhost, {"solve", caseFile.string(), "--plugin", kTestPlugin, "--json", "--quiet", "--save",
                                 target.string()},
                      fileLimit);
  }

  const romtest::ScratchFolder dir{"program_writes"};
  const fs::path caseFile = [this] {
    const fs::path p = dir / "t.json";
    std::ofstream(p) << R"({"factory": "TESTBLOCK", "name": "T1"})";
    return p;
  }();
};

// A stored test block is 70 bytes; 16 bytes stop the save in its temporary file.
TEST_F(ProgramWrites, ASaveOverTheFileSizeLimitIsReportedAndLeavesTheOldFile) {
  const fs::path stored = dir / "stored.pstg";
  std::ofstream(stored) << "old";
  const ProgramRun r = solveAndSave(stored, 16);
  ASSERT_EQ(r.code, 2) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["saved"], false);
  EXPECT_NE(j["save_error"].get<std::string>().find("too large"), std::string::npos) << j["save_error"];
  EXPECT_EQ(contents(stored), "old");
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"stored.pstg", "t.json"}));
}

TEST_F(ProgramWrites, GenerateOverTheFileSizeLimitFailsAndLeavesNoTemporaryFile) {
  const fs::path out = dir / "out";
  const ProgramRun r = runProgram(kRomnet, {"generate", kSampleTable, out.string()}, 100);
  EXPECT_EQ(r.code, 73) << r.err;
  EXPECT_NE(r.err.find("cannot write " + (out / "SAMPLE_GASFRAC.zkr").string()), std::string::npos) << r.err;
  EXPECT_EQ(namesIn(out), std::set<std::string>{});
}

// A report cut short by the file-size limit is an output error, not a success.
TEST_F(ProgramWrites, OutputThatCannotBeWrittenIsAFailure) {
  const fs::path report = dir / "report.json";
  ProgramRun r = runProgram(kRomhost, {"solve", caseFile.string(), "--plugin", kTestPlugin, "--json", "--quiet"}, 16,
                            report);
  EXPECT_EQ(r.code, 2) << r.err;
  EXPECT_NE(r.err.find("the report could not be written"), std::string::npos) << r.err;
  EXPECT_LE(fs::file_size(report), 16u);

  r = runProgram(kRomnet, {"eval", romtest::kSampleNetworks + "/SAMPLE/SAMPLE_GASFRAC.zkr", "FEEDMASS=120000",
                                   "FEEDSG=0.95", "REACTORTEMP=495", "PRESSURE=250"}, 8, report);
  EXPECT_EQ(r.code, 73) << r.err;
  EXPECT_NE(r.err.find("cannot write the standard output"), std::string::npos) << r.err;
}

// The FIFO is tried first, and the device is a null device made in the test's
// own folder, never one of the machine's: it is only reached when a FIFO is
// refused, and only where the test may make one.
TEST_F(ProgramWrites, ASaveOntoAFifoOrADeviceIsRefusedAndTheTargetKept) {
  const fs::path fifo = dir / "fifo", device = dir / "null";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<fs::path> targets = {fifo};
  if (romtest::makeDevice(device, romtest::MemoryDevice::kNull)) targets.push_back(device);
  for (const fs::path& target : targets) {
    const ProgramRun r = solveAndSave(target);
    ASSERT_EQ(r.code, 2) << target << ": " << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["saved"], false);
    EXPECT_NE(j["save_error"].get<std::string>().find("not a regular file"), std::string::npos) << j["save_error"];
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  std::set<std::string> left = {"fifo", "t.json"};
  if (targets.size() > 1) {
    EXPECT_TRUE(fs::is_character_file(device));
    left.insert("null");
  }
  EXPECT_EQ(namesIn(dir.path()), left);
}

// A save onto the case file, by its name or through a link, would replace the
// case with the stored block: refused, and the case kept.
TEST_F(ProgramWrites, ASaveOntoTheCaseFileIsRefused) {
  const std::string before = contents(caseFile);
  fs::create_symlink(caseFile, dir / "link.json");
  for (const fs::path& target : {caseFile, dir / "link.json"}) {
    const ProgramRun r = solveAndSave(target);
    ASSERT_EQ(r.code, 2) << target << ": " << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["converged"], true);
    EXPECT_EQ(j["saved"], false);
    EXPECT_EQ(j["save_error"], "Cannot write the stored block to " + target.string() + ": it is the case file " +
                                   caseFile.string());
    EXPECT_EQ(contents(caseFile), before);
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.json"));
}

// The networks are written like a save: through links to regular files, never
// over a FIFO.
TEST_F(ProgramWrites, GenerateWritesThroughLinksAndRefusesAFifo) {
  const fs::path plain = dir / "plain", out = dir / "out", real = dir / "real";
  ProgramRun r = runProgram(kRomnet, {"generate", kSampleTable, plain.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  fs::create_directories(out);
  fs::create_directories(real);
  const char* files[] = {"SAMPLE_GASFRAC.zkr", "SAMPLE_LIQFRAC.zkr", "SAMPLE_LIQSULFRAC.zkr"};
  for (const char* f : files) {
    std::ofstream(real / f) << "old";
    fs::create_symlink(real / f, out / f);
  }
  r = runProgram(kRomnet, {"generate", kSampleTable, out.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* f : files) {
    EXPECT_TRUE(fs::is_symlink(out / f)) << f;
    EXPECT_EQ(contents(real / f), contents(plain / f)) << f;
  }
  EXPECT_EQ(namesIn(real), (std::set<std::string>(std::begin(files), std::end(files))));

  fs::remove(out / files[0]);
  ASSERT_EQ(::mkfifo((out / files[0]).c_str(), 0600), 0);
  r = runProgram(kRomnet, {"generate", kSampleTable, out.string()});
  EXPECT_EQ(r.code, 73);
  EXPECT_NE(r.err.find("cannot write " + (out / files[0]).string() + ": not a regular file"), std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_fifo(out / files[0]));
  EXPECT_EQ(namesIn(out), (std::set<std::string>(std::begin(files), std::end(files))));
}

}  // namespace
