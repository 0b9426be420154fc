// A small cross-checked contest built by hand, with one of each status, a
// hostile call, a check log and a rejected log: the writers' test input.
#pragma once

#include <initializer_list>
#include <string>

#include "contest/contest.h"

namespace zelo::testing_support {

inline constexpr char kHostileCall[] = "<script>alert(1)</script>\x1b[31m";

inline ContactCheck Contact(std::int64_t line, ContactStatus status, std::optional<Band> band,
                            std::string worked, std::size_t other_log = kNoLog, std::int64_t other_line = 0) {
  ContactCheck c;
  c.line = line;
  c.status = status;
  c.counted = status == ContactStatus::kConfirmed || status == ContactStatus::kUnique ||
              status == ContactStatus::kUnverified;
  c.band = band;
  c.record = "QSO: " + std::string(band ? BandName(*band) : "9") + "025 CW 2026-03-07 12" +
             std::to_string(10 + line) + " ME 599 001 BU " + worked + " 599 001 BU";
  c.worked_call = std::move(worked);
  c.other_log = other_log;
  c.other_line = other_line;
  if (other_log != kNoLog) c.other_record = "QSO: their line " + std::to_string(other_line);
  return c;
}

inline ContactCheck BustedCall(std::int64_t line, Band band, std::string worked, std::string correct,
                               std::size_t other_log, std::int64_t other_line) {
  ContactCheck c = Contact(line, ContactStatus::kBustedCall, band, std::move(worked), other_log, other_line);
  c.correct_call = std::move(correct);
  return c;
}

inline ContactCheck BustedExchange(std::int64_t line, Band band, std::string worked, std::size_t other_log,
                                   std::int64_t other_line, std::string field, std::string logged,
                                   std::string sent) {
  ContactCheck c = Contact(line, ContactStatus::kBustedExchange, band, std::move(worked), other_log, other_line);
  c.field = std::move(field);
  c.logged = std::move(logged);
  c.sent = std::move(sent);
  return c;
}

inline void AddContacts(LogCheck& log, std::initializer_list<ContactCheck> contacts) {
  for (const ContactCheck& contact : contacts) log.contacts.push_back(contact);
}

inline LogCheck Entrant(std::string file, std::string call, std::string power, std::int64_t qsos,
                        std::int64_t mults, std::int64_t checked_qsos, std::int64_t checked_mults) {
  LogCheck log;
  log.name = file;
  log.file = "logs/" + file;
  log.call = std::move(call);
  log.category[CategoryPart::kOperator] = "SINGLE-OP";
  log.category[CategoryPart::kBand] = "ALL";
  log.category[CategoryPart::kPower] = std::move(power);
  log.category[CategoryPart::kMode] = "CW";
  log.qsos = qsos;
  log.mults = mults;
  log.score = qsos * mults;
  log.checked_qsos = checked_qsos;
  log.checked_mults = checked_mults;
  log.checked_score = checked_qsos * checked_mults;
  log.bands[BandIndex(Band::k20)] = {qsos, mults};
  log.checked_bands[BandIndex(Band::k20)] = {checked_qsos, checked_mults};
  return log;
}

// 0 K1ABC and 2 N3QQQ are HIGH, 1 W2XYZ and 3 (the hostile call) LOW,
// 4 K9CHK a check log, 5 a rejected file.
inline ContestResult SmallContest() {
  using S = ContactStatus;
  ContestResult result;
  LogCheck k1abc = Entrant("k1abc.log", "K1ABC", "HIGH", 5, 3, 3, 2);
  k1abc.claimed_score = 15;
  k1abc.clock_offset = -32;
  k1abc.offset_paired = 2;
  k1abc.operators = "K1ABC K1XYZ";
  k1abc.club = "Yankee Clipper Contest Club";
  k1abc.soapbox = {"Great fun on 20 m; the <b>rate</b> was low on 15.", "Thanks to all who called!"};
  AddContacts(k1abc, {
      Contact(10, S::kConfirmed, Band::k20, "W2XYZ", 1, 12),
      Contact(11, S::kNil, Band::k40, "W2XYZ"),
      BustedCall(12, Band::k20, "N3QQX", "N3QQQ", 2, 20),
      BustedExchange(13, Band::k15, "W2XYZ", 1, 14, "13", "05", "5"),
      Contact(14, S::kUnique, Band::k10, "ZZ9ZZ"),
      Contact(15, S::kRepeat, std::nullopt, "W2XYZ"),
  });
  LogCheck w2xyz = Entrant("w2xyz.log", "W2XYZ", "LOW", 3, 2, 3, 2);
  AddContacts(w2xyz, {
      Contact(12, S::kConfirmed, Band::k20, "K1ABC", 0, 10),
      Contact(14, S::kConfirmed, Band::k15, "K1ABC", 0, 13),
      BustedExchange(15, Band::k20, "N3QQQ", 2, 21, "12", "579", "599"),
  });
  LogCheck n3qqq = Entrant("n3qqq.log", "N3QQQ", "HIGH", 3, 3, 3, 3);
  n3qqq.club = "yankee clipper contest club";
  AddContacts(n3qqq, {
      Contact(20, S::kConfirmed, Band::k20, "K1ABC", 0, 12),
      Contact(21, S::kConfirmed, Band::k20, "W2XYZ", 1, 15),
      Contact(22, S::kUnverified, Band::k40, "ZZ9ZZ"),
  });
  LogCheck hostile = Entrant("evil, \"quoted\".log", kHostileCall, "LOW", 1, 1, 1, 1);
  hostile.category[CategoryPart::kOverlay] = "<img src=x onerror=alert(2)>";
  AddContacts(hostile, {Contact(7, S::kNoBand, std::nullopt, "<b>bold</b>")});
  LogCheck checklog = Entrant("k9chk.log", "K9CHK", "", 1, 1, 1, 1);
  checklog.category = CategoryText{};
  checklog.category[CategoryPart::kOperator] = "CHECKLOG";
  checklog.category.checklog = true;
  AddContacts(checklog, {Contact(9, S::kNotContact, std::nullopt, "")});
  result.logs = {k1abc, w2xyz, n3qqq, hostile, checklog};
  result.skipped = {{"logs/junk.txt", "junk.txt", "it is not a Cabrillo log: it does not begin with START-OF-LOG:",
                     "it begins with \"junk\", not START-OF-LOG:"}};
  return result;
}

}  // namespace zelo::testing_support
