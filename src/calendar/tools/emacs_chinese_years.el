;; Prints, for each Gregorian year from FIRST to LAST, the date of the Chinese
;; new year and the leap months that Emacs's own calendar (cal-china.el, an
;; astronomical computation in Beijing time) finds in it, one line a year:
;;   1890 1890-01-21 2
;; For the cross-check of src/calendar/ChineseTable.cpp (docs/calendar.md):
;;   emacs --batch -l src/calendar/tools/emacs_chinese_years.el -f cross-check-years 1368 2100
(require 'cal-china)

(defun cross-check-new-year (y)
  "The absolute date of the 正月初一 that falls in Gregorian year Y."
  (cadr (assoc 1 (calendar-chinese-year y))))

(defun cross-check-years ()
  (let ((first (string-to-number (pop command-line-args-left)))
        (last (string-to-number (pop command-line-args-left))))
    (dotimes (k (1+ (- last first)))
      (let* ((y (+ first k))
             (new-year (calendar-gregorian-from-absolute
                        (cross-check-new-year y)))
             (leaps nil))
        ;; The months of Chinese year y run from its 正月 in this list into
        ;; the 十一月 and 十二月 of the next Gregorian year's list.
        (dolist (pair (append (calendar-chinese-year y) (calendar-chinese-year (1+ y))))
          (let ((month (car pair)) (start (cadr pair)))
            (when (and (not (integerp month))
                       (>= start (cross-check-new-year y))
                       (< start (cross-check-new-year (1+ y))))
              (push (floor month) leaps))))
        (princ (format "%d %04d-%02d-%02d %s\n" y (nth 2 new-year) (nth 0 new-year)
                       (nth 1 new-year)
                       (if leaps (mapconcat #'number-to-string (delete-dups leaps) ",") "0")))))))

;; Prints every month start the same way, one line a month:
;;   1890 -2 1890-03-21      (a leap month has its number negated)
;;   emacs --batch -l src/calendar/tools/emacs_chinese_years.el -f cross-check-months 1368 2100
(defun cross-check-months ()
  (let ((first (string-to-number (pop command-line-args-left)))
        (last (string-to-number (pop command-line-args-left))))
    (dotimes (k (1+ (- last first)))
      (let* ((y (+ first k)))
        (dolist (pair (append (calendar-chinese-year y) (calendar-chinese-year (1+ y))))
          (let* ((month (car pair)) (start (cadr pair))
                 (date (calendar-gregorian-from-absolute start)))
            (when (and (>= start (cross-check-new-year y))
                       (< start (cross-check-new-year (1+ y))))
              (princ (format "%d %d %04d-%02d-%02d\n" y
                             (if (integerp month) month (- (floor month)))
                             (nth 2 date) (nth 0 date) (nth 1 date))))))))))
