#ifndef ANSWERTIMER_H
#define ANSWERTIMER_H

// How long the device takes to answer, measured the way a TCP
// retransmission timer measures a round trip (RFC 6298): a smoothed answer
// time and its variation, taken only from requests answered at their first
// attempt, since the answer to a resent one may be the earlier attempt's.
// An attempt that goes unanswered doubles the allowance until a fresh
// measurement comes in.
//
// Times are the device's own: the time the bytes take on the wire is left
// out, as it depends on the frame.
class AnswerTimer
{
public:
    // A new link: nothing measured yet.
    void reset();
    void measured(int ms);
    void missed();
    // How long the device may take to start answering, back-off included.
    int allowanceMs() const;

private:
    double m_smoothed = -1; // none measured yet
    double m_variation = 0;
    int m_backOff = 1;
};

#endif // ANSWERTIMER_H
