#include "link/flash_unit.h"

#include <algorithm>
#include <cstring>

namespace vqled {
namespace {

const char* const kStepNames[] = {"download", "settings", "clock", "end-date"};
const char* const kSuccessTexts[] = {"Send OK !!!!", "Send OK !!!!", "Syn Time Send OK !!!!",
                                     "Set End Date Send OK !!!!"};

}  // namespace

FlashUnit::FlashUnit(const PortRecord& port, const FlashJob& job, PatternStore& store,
                     std::unique_ptr<LinkPort> linkPort, LoopClock& clock,
                     const std::function<int64_t()>& wallClock)
    : PolledLinkHost(port.device, clock),
      port_(port),
      job_(job),
      wallClock_(wallClock),
      profile_(job.profile),
      buffer_(new ImageBuffer),  // not zeroed: only the pages an image fills become resident
      link_(std::make_unique<ControllerLink>(
          *this, std::move(linkPort), store, profile_, *buffer_,
          [this](int area, ImageBuffer& image) { return CopyImage(area, image); })) {
  for (const FlashImage& image : job_.images)
    totalBytes_ += static_cast<int64_t>(image.bytes.size());
}

FlashUnit::~FlashUnit() = default;

const FlashImage* FlashUnit::ImageOf(int area) const {
  for (const FlashImage& image : job_.images) {
    if (image.area == area) return &image;
  }
  return nullptr;
}

// The link's encoder: the shared image of the area into the unit's buffer.
Outcome FlashUnit::CopyImage(int area, ImageBuffer& image) {
  const FlashImage* shared = ImageOf(area);
  if (shared == nullptr || shared->bytes.size() > sizeof image.entry) {
    const std::string n = std::to_string(area + 1);
    return Outcome::Fail(
        {"第 " + n + " 区没有可发送的花样", "area " + n + " has no image to send"});
  }
  std::memcpy(image.entry, shared->bytes.data(), shared->bytes.size());
  image.imageLast = static_cast<int>(shared->bytes.size()) - 1;
  image.frameCountHigh = shared->frameCountHigh;
  image.frameCountLow = shared->frameCountLow;
  return Outcome::Ok();
}

void FlashUnit::ShowMessage(const Text& text, const Text&) {
  message_ = text;
  messageShown_ = true;
}

FlashUnit::Step FlashUnit::NextStep(int after) const {
  const bool wanted[] = {job_.allAreas || job_.area >= 0, job_.settings, job_.clock, job_.endDate};
  for (int s = after + 1; s < STEP_NONE; ++s) {
    if (wanted[s]) return static_cast<Step>(s);
  }
  return STEP_NONE;
}

void FlashUnit::Start() {
  result_ = FLASH_RUNNING;
  firstStartMs_ = clock().NowMs();
  step_ = NextStep(-1);
  retriesUsed_ = 0;
  if (step_ == STEP_NONE) {
    result_ = FLASH_PASSED;
    return;
  }
  BeginAttempt(0);
}

// Starts the current step; a download of all areas starts at firstArea.
void FlashUnit::BeginAttempt(int firstArea) {
  Rearm();
  status_ = {};
  message_ = {};
  messageShown_ = false;
  FlashAttempt attempt;
  attempt.step = kStepNames[step_];
  attempt.retry = retriesUsed_;
  attempt.startMs = wallClock_();
  attempts_.push_back(std::move(attempt));
  doneBlocks_ = 0;
  trackedArea_ = -1;
  switch (step_) {
    case STEP_DOWNLOAD:
      if (job_.allAreas) {
        link_->BitBtn5Click();
        // A retry goes on from the area that failed, still in the all-areas
        // mode: the next area start reopens the port, before any probe.
        if (firstArea > 0 && link_->port().IsOpen()) link_->StartAreaDownload(firstArea);
      } else {
        link_->BitBtn7Click(job_.loopCount);
      }
      TrackAreas();
      break;
    case STEP_SETTINGS: {
      SettingsPanel panel = job_.settingsPanel;  // the image's rules adjust the lists sent
      link_->Button5Click(panel);
      break;
    }
    case STEP_CLOCK:
      link_->BitBtn18Click();
      break;
    case STEP_END_DATE:
      link_->DataTimeTimer();  // the day count the end-date check reads
      link_->BitBtn19Click();
      break;
    case STEP_NONE:
      break;
  }
}

int FlashUnit::AreaBlocks(int area) const {
  const FlashImage* image = ImageOf(area);
  const int block = std::max(profile_.blockSize, 1);
  return image ? static_cast<int>((image->bytes.size() + block - 1) / block) : 0;
}

// Follows the download from area to area: an area the link has left for a
// later one was stored.
void FlashUnit::TrackAreas() {
  if (step_ != STEP_DOWNLOAD) return;
  const int area = link_->sendArea();
  if (trackedArea_ >= 0 && area > trackedArea_) {
    doneBytes_ +=
        static_cast<int64_t>(ImageOf(trackedArea_) ? ImageOf(trackedArea_)->bytes.size() : 0);
    doneBlocks_ += AreaBlocks(trackedArea_);
    ++areasDone_;
  }
  if (area != trackedArea_) {
    trackedArea_ = area;
    std::vector<int>& areas = attempts_.back().areas;
    if (std::find(areas.begin(), areas.end(), area) == areas.end()) areas.push_back(area);
  }
}

bool FlashUnit::Advance() {
  if (result_ != FLASH_RUNNING) return false;
  TrackAreas();
  if (!Finished()) return false;
  const bool passed = status_.en == kSuccessTexts[step_];
  FlashAttempt& attempt = attempts_.back();
  attempt.blocks = doneBlocks_ + (step_ == STEP_DOWNLOAD && !passed ? link_->blockIndex() : 0);
  if (passed && step_ == STEP_DOWNLOAD) {
    attempt.blocks += AreaBlocks(trackedArea_);
    doneBytes_ +=
        static_cast<int64_t>(ImageOf(trackedArea_) ? ImageOf(trackedArea_)->bytes.size() : 0);
    ++areasDone_;
  }
  if (link_->port().IsOpen()) link_->EndTransaction();
  attempt.endMs = wallClock_();
  attempt.passed = passed;
  attempt.status = passed || !messageShown_ ? status_ : message_;
  if (attempt.status.empty()) attempt.status = message_;
  const int failedArea = link_->sendArea();
  if (passed) {
    step_ = NextStep(step_);
    retriesUsed_ = 0;
    if (step_ == STEP_NONE) {
      result_ = FLASH_PASSED;
    } else {
      BeginAttempt(0);
    }
  } else if (retriesUsed_ < job_.retries) {
    ++retriesUsed_;
    BeginAttempt(job_.allAreas && step_ == STEP_DOWNLOAD ? failedArea : 0);
  } else {
    result_ = FLASH_FAILED;
  }
  return true;
}

FlashProgress FlashUnit::Progress() const {
  FlashProgress p;
  p.port = port_.device;
  p.result = result_;
  p.areaTotal = static_cast<int>(job_.images.size());
  p.areaOrdinal = std::min(areasDone_ + 1, p.areaTotal);
  const int64_t sent = SentBytes();
  p.percent = result_ == FLASH_PASSED ? 100
              : totalBytes_ > 0       ? static_cast<int>(sent * 100 / totalBytes_)
                                      : 0;
  const int64_t elapsedMs = std::max<int64_t>(clock().NowMs() - firstStartMs_, 1);
  p.bytesPerSecond = result_ == FLASH_WAITING ? 0 : static_cast<double>(sent) * 1000.0 / elapsedMs;
  if (p.bytesPerSecond > 0 && result_ == FLASH_RUNNING) {
    p.etaSeconds = static_cast<int>(static_cast<double>(totalBytes_ - sent) / p.bytesPerSecond);
  } else if (result_ == FLASH_PASSED) {
    p.etaSeconds = 0;
  }
  p.status = attempts_.empty()          ? Text{}
             : result_ == FLASH_RUNNING ? status_
                                        : attempts_.back().status;
  return p;
}

// The bytes the controller has acknowledged of this run of the download.
int64_t FlashUnit::SentBytes() const {
  if (step_ != STEP_DOWNLOAD || result_ != FLASH_RUNNING || trackedArea_ < 0) return doneBytes_;
  const FlashImage* image = ImageOf(trackedArea_);
  const int64_t size = image ? static_cast<int64_t>(image->bytes.size()) : 0;
  const int64_t acked = static_cast<int64_t>(link_->blockIndex()) * profile_.blockSize;
  return doneBytes_ + std::min(acked, size);
}

}  // namespace vqled
