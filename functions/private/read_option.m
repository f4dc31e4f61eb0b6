function value = read_option(given, name, default, kind, caller)
% READ_OPTION  The option NAME of GIVEN as a double (logical for 'logical'),
% or DEFAULT when it is absent. It must be a real scalar of KIND:
%   'count'          an integer of at least 0
%   'count_or_inf'   an integer of at least 0, or Inf
%   'positive_count' an integer of at least 1
%   'positive_count_or_inf'  an integer of at least 1, or Inf
%   'nonnegative'    a finite number of at least 0
%   'positive'       a positive number or Inf
%   'fraction'       a number from 0 to 1
%   'logical'        true or false
  value = default;
  if ~isfield(given, name)
    return;
  end
  value = given.(name);
  switch kind
    case 'count'
      valid = @(v) isfinite(v) && v >= 0 && v == fix(v);
      requirement = 'an integer of at least 0';
    case 'count_or_inf'
      valid = @(v) ~isnan(v) && v >= 0 && (isinf(v) || v == fix(v));
      requirement = 'an integer of at least 0 or Inf';
    case 'positive_count'
      valid = @(v) isfinite(v) && v >= 1 && v == fix(v);
      requirement = 'an integer of at least 1';
    case 'positive_count_or_inf'
      valid = @(v) ~isnan(v) && v >= 1 && (isinf(v) || v == fix(v));
      requirement = 'an integer of at least 1 or Inf';
    case 'nonnegative'
      valid = @(v) isfinite(v) && v >= 0;
      requirement = 'a finite, non-negative number';
    case 'positive'
      valid = @(v) ~isnan(v) && v > 0;
      requirement = 'a positive number or Inf';
    case 'fraction'
      valid = @(v) v >= 0 && v <= 1;
      requirement = 'a number from 0 to 1';
    case 'logical'
      valid = @(v) ~isnan(v);
      requirement = 'true or false';
  end
  if ~((isnumeric(value) || islogical(value)) && isscalar(value) && isreal(value) ...
       && ~issparse(value)) || ~valid(double(value))
    error([caller ':badOption'], '%s must be %s', name, requirement);
  end
  if strcmp(kind, 'logical')
    value = logical(value);
  else
    value = double(value);
  end
end
