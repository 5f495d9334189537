#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "model/download_manager.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;
using State = DownloadItem::State;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

// Every byte value, so that nothing on the way may treat the body as text.
std::string binaryBody(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 256) % 256);
  return body;
}

// Bytes that no compression can shorten.
std::string noiseBody(size_t size) {
  std::mt19937 noise(7);
  std::string body(size, '\0');
  for (auto& byte : body) byte = static_cast<char>(noise());
  return body;
}

std::string gzipped(const std::string& bytes) {
  GZlibCompressor* compressor = g_zlib_compressor_new(G_ZLIB_COMPRESSOR_FORMAT_GZIP, -1);
  std::string out(bytes.size() + 4096, '\0');
  gsize read = 0, written = 0;
  const auto result =
      g_converter_convert(G_CONVERTER(compressor), bytes.data(), bytes.size(), out.data(),
                          out.size(), G_CONVERTER_INPUT_AT_END, &read, &written, nullptr);
  g_object_unref(compressor);
  EXPECT_EQ(result, G_CONVERTER_FINISHED);
  out.resize(written);
  return out;
}

class DownloadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Downloads go to the XDG download folder of the user's configuration.
    harness.home().writeFile(harness.home().root() / "config" / "user-dirs.dirs",
                             "XDG_DOWNLOAD_DIR=\"$HOME/Incoming\"\n");
    fs::create_directories(folder());
  }

  fs::path folder() const { return harness.home().root() / "Incoming"; }
  DownloadManager& downloads() { return harness.store().downloads(); }
  std::vector<std::string> filesInFolder() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // Waits for the download that starts with `action` to end, and gives its item.
  std::shared_ptr<DownloadItem> downloadFrom(const std::function<void()>& action) {
    const size_t before = downloads().items.peek().size();
    action();
    if (!waitUntil([&] { return downloads().items.peek().size() > before; })) return nullptr;
    auto item = downloads().items.peek().front();
    if (!waitUntil([&] { return item->state.peek() != State::downloading; })) return nullptr;
    return item;
  }

  WebHarness harness;
  TestServer server;
};

TEST_F(DownloadsTest, EveryKindOfDownloadArrivesWholeUnderAFreeName) {
  const std::string body = binaryBody(300'000);
  server.route(
      "/files/report",
      {body, "application/pdf", {{"Content-Disposition", "attachment; filename=\"report.pdf\""}}});
  server.route("/files/data.bin", {body, "application/octet-stream"});
  server.route("/files/notes", {"some notes\n", "text/plain"});
  server.route("/files/packed",
               {gzipped(body), "application/octet-stream", {{"Content-Encoding", "gzip"}}});
  server.route("/files/raw", {body, "application/octet-stream", {{"Content-Encoding", "x-raw"}}});
  server.page("/links",
              "<title>Links</title><a download=\"notes.txt\" href=\"/files/notes\">x</a>");
  harness.home().writeFile(folder() / "report.pdf", "an earlier report");

  auto tab = harness.show(server.url("/links"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Links"));
  auto link = downloadFrom([&] {
    testing::callJavaScript(WebHarness::viewOf(*tab), "document.querySelector('a').click();");
  });
  ASSERT_TRUE(link);
  EXPECT_EQ(harness.home().readFile(folder() / "notes.txt"), "some notes\n");

  for (const char* expected : {"report (1).pdf", "report (2).pdf"}) {
    auto attachment = downloadFrom([&] { tab->load(server.address("/files/report")); });
    ASSERT_TRUE(attachment);
    EXPECT_EQ(attachment->filename.peek(), expected);
    EXPECT_TRUE(harness.home().readFile(folder() / expected) == body) << expected;
  }
  EXPECT_EQ(harness.home().readFile(folder() / "report.pdf"), "an earlier report");

  ASSERT_TRUE(downloadFrom([&] { tab->load(server.address("/files/data.bin")); }));
  EXPECT_TRUE(harness.home().readFile(folder() / "data.bin") == body);
  // Encoded bodies, whole: what the engine decodes is saved decoded, the rest as it came.
  ASSERT_TRUE(downloadFrom([&] { tab->load(server.address("/files/packed")); }));
  EXPECT_TRUE(harness.home().readFile(folder() / "packed") == body);
  ASSERT_TRUE(downloadFrom([&] { tab->load(server.address("/files/raw")); }));
  EXPECT_TRUE(harness.home().readFile(folder() / "raw") == body);
  EXPECT_EQ(filesInFolder(),
            (std::vector<std::string>{"data.bin", "notes.txt", "packed", "raw", "report (1).pdf",
                                      "report (2).pdf", "report.pdf"}));
  for (const auto& item : downloads().items.peek()) EXPECT_EQ(item->state.peek(), State::finished);
}

TEST_F(DownloadsTest, ABrokenTransferFailsAndLeavesOnlyTheFilesThatWereThere) {
  TestServer::Response broken{binaryBody(50'000),
                              "application/octet-stream",
                              {{"Content-Disposition", "attachment; filename=\"archive.zip\""}}};
  broken.truncated = true;
  server.route("/broken", broken);
  harness.home().writeFile(folder() / "archive.zip", "mine");

  auto item = downloadFrom([&] { harness.show(server.url("/broken")); });
  ASSERT_TRUE(item);
  EXPECT_EQ(item->state.peek(), State::failed);
  EXPECT_EQ(filesInFolder(), std::vector<std::string>{"archive.zip"});
  EXPECT_EQ(harness.home().readFile(folder() / "archive.zip"), "mine");

  // An old-style answer ends with the connection, so the engine sees a clean end: fewer bytes
  // than the length it announced is still a transfer cut short.
  broken.protocol = "HTTP/1.0";
  broken.promisedLength = 2'000'000;
  broken.headers = {{"Content-Disposition", "attachment; filename=\"old.bin\""}};
  server.route("/old", broken);
  auto cut = downloadFrom([&] { harness.show(server.url("/old")); });
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->state.peek(), State::failed);
  EXPECT_EQ(filesInFolder(), std::vector<std::string>{"archive.zip"});
}

// The length a server announces for an encoded body is that of the encoded bytes. The engine
// decodes gzip, and passes an encoding it doesn't know on as it came: cut short, either is a
// failure, also when the answer ends with its connection, which the engine and its gzip decoder
// take for a clean end. There only a body that decoded to fewer bytes than the announced ones can
// hold is known to be cut, as a file that doesn't compress is; the same file whole is kept.
TEST_F(DownloadsTest, AnEncodedTransferCutShortFails) {
  const std::string body = binaryBody(300'000);
  const std::string noise = noiseBody(300'000);
  struct Case {
    std::string encoding, sent, protocol;
    bool whole = false;
  };
  for (const auto& [encoding, sent, protocol, whole] :
       {Case{"gzip", gzipped(body), "HTTP/1.1"}, Case{"gzip", gzipped(noise), "HTTP/1.0"},
        Case{"x-unheard-of", body, "HTTP/1.0"}, Case{"gzip", gzipped(noise), "HTTP/1.0", true}}) {
    SCOPED_TRACE(encoding + " " + protocol + (whole ? " whole" : " cut"));
    TestServer::Response answer{whole ? sent : sent.substr(0, sent.size() / 2),
                                "application/octet-stream",
                                {{"Content-Encoding", encoding},
                                 {"Content-Disposition", "attachment; filename=\"packed.bin\""}}};
    answer.truncated = !whole;
    answer.protocol = protocol;
    answer.promisedLength = sent.size();
    const std::string path = "/" + encoding + "/" + protocol + (whole ? "/whole" : "");
    server.route(path, answer);
    auto item = downloadFrom([&] { harness.show(server.url(path)); });
    ASSERT_TRUE(item);
    if (whole) {
      EXPECT_EQ(item->state.peek(), State::finished);
      EXPECT_TRUE(harness.home().readFile(folder() / "packed.bin") == noise);
    } else {
      EXPECT_EQ(item->state.peek(), State::failed);
      EXPECT_TRUE(filesInFolder().empty());
    }
  }
}

}  // namespace
}  // namespace zemblo
