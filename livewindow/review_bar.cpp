#include "review_bar.h"

#include "review/review_time.h"
#include "window_style.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace ionvane::livewindow {

namespace {

// The hours the slider may look back, the first being the default.
constexpr int HourChoices[] = {review::DefaultReviewHours, 12, 24, review::MaxReviewHours};
constexpr std::int64_t SecondsPerHour = 3600;

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}

} // namespace

ReviewBar::ReviewBar(std::function<review::UnixSeconds()> nowUtc, QWidget *parent)
    : QWidget(parent), NowUtc(std::move(nowUtc)) {
    setObjectName("reviewBar");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Amber across the width: a map of the past must never be taken for the present.
    lblViewing = new QLabel(this);
    lblViewing->setObjectName("lblViewing");
    lblViewing->setStyleSheet("QLabel { background: #ffb300; color: black; padding: 6px; }");
    SetBold(lblViewing, StatePointSize);
    lblViewing->setTextFormat(Qt::RichText);
    lblViewing->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblViewing->hide();
    connect(lblViewing, &QLabel::linkActivated, this, &ReviewBar::BackToLive);
    layout->addWidget(lblViewing);

    auto *row = new QHBoxLayout;
    sldReview = new QSlider(Qt::Horizontal, this);
    sldReview->setObjectName("sldReview");
    sldReview->setToolTip("Drag back to see the map, clouds, bands and spots as they were");
    sldReview->setPageStep(static_cast<int>(SecondsPerHour / review::SliderStepS) / 4);
    lblReviewTime = new QLabel("Live", this);
    lblReviewTime->setObjectName("lblReviewTime");
    cmdPlay60 = new QPushButton("Play x60", this);
    cmdPlay60->setObjectName("cmdPlay60");
    cmdPlay600 = new QPushButton("x600", this);
    cmdPlay600->setObjectName("cmdPlay600");
    for (QPushButton *button : {cmdPlay60, cmdPlay600}) {
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
    }
    cmbReviewHours = new QComboBox(this);
    cmbReviewHours->setObjectName("cmbReviewHours");
    for (const int hours : HourChoices) {
        cmbReviewHours->addItem(QString("%1 h").arg(hours), hours);
    }
    cmbReviewHours->setToolTip("How far back the slider reaches");
    lblReviewProblem = new QLabel(this);
    lblReviewProblem->setObjectName("lblReviewProblem");
    lblReviewProblem->setWordWrap(true);
    lblReviewProblem->hide();
    lblReviewReading = new QLabel("Reading the history...", this);
    lblReviewReading->setObjectName("lblReviewReading");
    lblReviewReading->hide();
    row->addWidget(sldReview, 1);
    row->addWidget(lblReviewTime);
    row->addWidget(cmdPlay60);
    row->addWidget(cmdPlay600);
    row->addWidget(cmbReviewHours);
    layout->addLayout(row);
    layout->addWidget(lblReviewReading);
    layout->addWidget(lblReviewProblem);

    Player = new QTimer(this);
    connect(Player, &QTimer::timeout, this, &ReviewBar::Step);
    connect(cmdPlay60, &QPushButton::clicked, this, [this] { Play(cmdPlay60, PlayX60Ms); });
    connect(cmdPlay600, &QPushButton::clicked, this, [this] { Play(cmdPlay600, PlayX600Ms); });
    connect(sldReview, &QSlider::valueChanged, this, &ReviewBar::PositionChanged);
    // The store is read as the slider is taken, before it moves: the drag then runs over the span
    // read.
    connect(sldReview, &QSlider::sliderPressed, this, [this] {
        if (!Reviewing()) {
            Load(NowUtc());
        }
    });
    connect(cmbReviewHours, &QComboBox::currentIndexChanged, this, [this] {
        HasRead = false;
        if (Shown) {
            ShowTime(*Shown);
        }
    });
    const review::UnixSeconds now = NowUtc();
    Read = {now - review::DefaultReviewHours * SecondsPerHour, now, 0, 0, {}};
    const QSignalBlocker quiet(sldReview);
    sldReview->setRange(0, review::LivePosition(Read));
    sldReview->setValue(sldReview->maximum());
}

// The worker, a member, is stopped and joined before the widget's children go.
ReviewBar::~ReviewBar() = default;

void ReviewBar::UseReview(std::unique_ptr<review::ReviewControl> review) {
    BackToLive();
    // A read of the review before is stopped; its results on their way are dropped.
    Worker.reset();
    LoadsPending = 0;
    lblReviewReading->hide();
    if (review) {
        Worker = std::make_unique<ReviewWorker>(std::move(review), this);
    }
    HasRead = false;
    Read.Problem = Worker ? "" : "The history cannot be looked back on in this run.";
    ShowProblem();
}

void ReviewBar::Load(review::UnixSeconds time) {
    Wanted = time;
    const int hours = cmbReviewHours->currentData().toInt();
    if (!Worker) {
        Read.To = NowUtc();
        LoadsPending = 1;
        Loaded(Read);
        return;
    }
    // A read under way over the same hours brings what is wanted: the time wanted is what changes.
    if (LoadsPending > 0 && hours == ReadingHours) {
        return;
    }
    ++LoadsPending;
    ReadingHours = hours;
    lblReviewReading->show();
    Worker->Load(NowUtc(), hours, [this](const review::ReviewSpan &span) { Loaded(span); });
}

void ReviewBar::Loaded(const review::ReviewSpan &span) {
    Read = span;
    if (--LoadsPending > 0) {
        return;
    }
    HasRead = true;
    lblReviewReading->hide();
    ShowProblem();
    {
        const QSignalBlocker quiet(sldReview);
        sldReview->setRange(0, review::LivePosition(Read));
        sldReview->setValue(sldReview->maximum());
    }
    if (Wanted) {
        const review::UnixSeconds time = *Wanted;
        Wanted.reset();
        ShowRead(time);
    }
}

void ReviewBar::ShowTime(review::UnixSeconds time) {
    if (LoadsPending > 0 || !HasRead || (!Shown && !sldReview->isSliderDown())) {
        // Entering the past from live: what was recorded since the last look is read first (on
        // the slider's press, when it is dragged).
        Load(time);
    } else {
        ShowRead(time);
    }
}

void ReviewBar::ShowRead(review::UnixSeconds time) {
    {
        const QSignalBlocker quiet(sldReview);
        sldReview->setValue(review::PositionOf(Read, time));
    }
    if (!Worker || sldReview->value() == sldReview->maximum()) {
        BackToLive();
        return;
    }
    const review::UnixSeconds shown = review::TimeAt(Read, sldReview->value());
    Shown = shown;
    const QString viewing = Q(review::ViewingText(shown));
    lblViewing->setText(viewing + R"( - <a href="live" style="color: black">back to live</a>)");
    lblViewing->show();
    lblReviewTime->setText(viewing.mid(QString("Viewing ").size()));
    Worker->At(shown, [this](const review::ReviewMoment &moment) { emit momentShown(moment); });
}

void ReviewBar::PositionChanged(int position) {
    if (position >= sldReview->maximum()) {
        BackToLive();
    } else if (Shown) {
        ShowTime(review::TimeAt(Read, position));
    } else {
        // From live a position counts minutes back from now: the span the slider was set to
        // has aged since.
        ShowTime(NowUtc() - (sldReview->maximum() - position) * review::SliderStepS);
    }
}

void ReviewBar::BackToLive() {
    StopPlaying();
    // Neither a read under way nor a replay brings the past back.
    Wanted.reset();
    if (Worker) {
        Worker->DropMoments();
    }
    {
        const QSignalBlocker quiet(sldReview);
        sldReview->setValue(sldReview->maximum());
    }
    lblViewing->hide();
    lblReviewTime->setText("Live");
    if (Shown) {
        Shown.reset();
        emit liveShown();
    }
}

void ReviewBar::Play(QPushButton *button, int intervalMs) {
    if (!button->isChecked()) {
        StopPlaying();
        return;
    }
    for (QPushButton *other : {cmdPlay60, cmdPlay600}) {
        other->setChecked(other == button);
    }
    if (!Shown) {
        // From live there is nothing ahead: the evening plays from its start (the time is
        // clamped to the span read).
        ShowTime(Read.From);
    }
    Player->start(intervalMs);
}

void ReviewBar::Step() {
    if (LoadsPending > 0) {
        return;
    }
    if (!Shown) {
        StopPlaying();
        return;
    }
    ShowTime(*Shown + review::SliderStepS);
}

void ReviewBar::StopPlaying() {
    Player->stop();
    for (QPushButton *button : {cmdPlay60, cmdPlay600}) {
        button->setChecked(false);
    }
}

void ReviewBar::ShowProblem() {
    QString words = Q(Read.Problem);
    if (Read.CorruptRows > 0) {
        words += QString(words.isEmpty() ? "" : " ") +
                 QString("%1 damaged rows of the history were skipped.").arg(Read.CorruptRows);
    }
    lblReviewProblem->setText(words);
    lblReviewProblem->setVisible(!words.isEmpty());
}

} // namespace ionvane::livewindow
